#pragma once
// Writes .xlsx workbooks: sheets of number and text cells. Used by the tool
// that builds the default workbooks and by tests that make their own.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class Tworkbookwriter {
public:
    explicit Tworkbookwriter(const std::string& path);
    ~Tworkbookwriter();
    Tworkbookwriter(const Tworkbookwriter&) = delete;
    Tworkbookwriter& operator=(const Tworkbookwriter&) = delete;

    // Adds a sheet and makes it the one written to.
    void addsheet(const std::string& name);
    // One-based rows and columns. Non-finite numbers are refused.
    void number(std::uint32_t row, std::uint32_t column, double value);
    void text(std::uint32_t row, std::uint32_t column, const std::string& value);
    // A number when the text is a plain decimal number, else text; empty
    // texts leave the cell empty.
    void cell(std::uint32_t row, std::uint32_t column, const std::string& value);
    // Writes the file; raises with the reason when that fails.
    void close();

private:
    struct Timpl;
    std::unique_ptr<Timpl> impl_;
};

// True when the text is a plain decimal number (digits, optional sign,
// point and exponent), the form the number parser reads.
bool isplainnumber(const std::string& text, double& value);

// Reads an RFC 4180 CSV file into rows of fields.
std::vector<std::vector<std::string>> readcsv(const std::string& path);

} // namespace velmora
