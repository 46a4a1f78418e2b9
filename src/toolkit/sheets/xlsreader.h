#pragma once
// The cells of a legacy .xls workbook (BIFF8 records in a compound file),
// read here record by record with every length and index checked against
// the data: a damaged or crafted file is refused with the reason, never
// read past its end. Sheet names, the shared strings and the number, text,
// boolean and cached formula cells of every worksheet; formats are not
// read (a date is its serial number).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

// Why a file cannot be read.
class Exlsdamage : public std::runtime_error {
public:
    explicit Exlsdamage(const std::string& reason) : std::runtime_error(reason) {}
};

// Receives the cells of one sheet; rows and columns from 1.
class Txlscells {
public:
    virtual ~Txlscells() = default;
    virtual void number(std::uint32_t row, std::uint32_t column, double x) = 0;
    virtual void text(std::uint32_t row, std::uint32_t column, std::string text) = 0;
    virtual void shared(std::uint32_t row, std::uint32_t column, std::uint32_t index) = 0;
};

class Txlsworkbook {
public:
    // data: the whole file. maxstream bounds the workbook stream.
    Txlsworkbook(const std::string& data, std::uint64_t maxstream);
    const std::vector<std::string>& sheetnames() const { return names_; }
    // The shared string table, moved out.
    std::vector<std::string> takestrings() { return std::move(strings_); }
    std::size_t stringcount() const { return strings_.size(); }
    void readsheet(std::size_t index, Txlscells& cells) const;

private:
    std::string stream_; // the "Workbook" stream
    std::vector<std::string> names_;
    std::vector<std::uint32_t> offsets_; // of each worksheet's BOF in the stream
    std::vector<std::string> strings_;
    std::size_t stringcount_ = 0;
};

} // namespace velmora
