#pragma once
// The worksheet and shared-string parts of an .xlsx read as their XML
// streams in, piece by piece: no part is held whole and no document tree is
// built, so memory follows the cells a workbook holds, not the elements it
// takes to describe them (a part of empty elements once cost 17 bytes of
// tree for each byte). A part that declares a document type (entities) or
// nests deeper than a workbook does is refused.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace velmora {

class Exlsxdamage : public std::runtime_error {
public:
    explicit Exlsxdamage(const std::string& reason) : std::runtime_error(reason) {}
};

// One cell element: its position (from 1), type attribute, <v> text and, for
// inline strings, the text of <is>.
struct Txlsxcell {
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    std::string type;
    bool hasvalue = false;
    std::string value;
    std::string inlinetext;
};

class Txlsxparser {
public:
    // A worksheet part: every <c> of sheetData, in order.
    static std::unique_ptr<Txlsxparser> sheet(std::function<void(Txlsxcell&)> cell);
    // The shared-string part: the text of every <si>, in order.
    static std::unique_ptr<Txlsxparser> strings(std::function<void(std::string&)> item);
    ~Txlsxparser();
    // Raises Exlsxdamage with the reason.
    void feed(const char* data, std::size_t size, bool last);

    struct Tstate;

private:
    explicit Txlsxparser(std::unique_ptr<Tstate> state);
    std::unique_ptr<Tstate> state_;
};

// "A1"-style references and row numbers, checked: 0 when not one.
std::uint32_t parserownumber(const char* text);

constexpr std::uint32_t maxsheetrow = 1048576;
constexpr std::uint32_t maxsheetcolumn = 16384;

} // namespace velmora
