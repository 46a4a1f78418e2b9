#pragma once
// Read access to one spreadsheet workbook, .xlsx or legacy .xls, without a
// spreadsheet program: sheet names in workbook order, a current sheet, its
// last used row and column, and cell texts. Number cells read as plain
// integers when whole, else as the shortest text that parses back to exactly
// the stored value.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "numeric/uiservice.h"

namespace velmora {

// What one workbook may cost to read. Far above any real workbook (the
// default ones inflate to a few tens of MB and hold well under a million
// cells), far below what would exhaust the machine: a crafted file is
// refused at once instead of costing gigabytes or minutes.
struct Tworkbooklimits {
    std::uint64_t partbytes = 64ull << 20;      // one inflated part
    std::uint64_t workbookbytes = 256ull << 20; // all inflated parts together
    std::uint64_t cells = 4000000;              // non-empty cells of all sheets
    std::uint64_t textbytes = 256ull << 20;     // cell text held, shared strings once
};

struct Tsheetgrid; // the cells of one sheet

// Texts held end to end in one block: a shared string costs its bytes and
// four more, whatever its length (a workbook of millions of empty shared
// strings once cost 32 bytes for each 5 of its XML).
struct Tstringpool {
    std::string text;
    std::vector<std::uint32_t> ends;
    std::size_t size() const { return ends.size(); }
    void add(const std::string& s) {
        text += s;
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    }
    std::string get(std::size_t k) const {
        std::size_t begin = k ? ends[k - 1] : 0;
        return text.substr(begin, ends[k] - begin);
    }
};

class TExcelFile {
public:
    // Opens the workbook and reads all its sheets. When any part cannot be
    // read, warns with the file and the reason; the object then holds no
    // workbook and reads empty cells.
    // The message is "Cannot open the workbook <file>: <reason>", the
    // reason naming the part, sheet or limit at fault.
    TExcelFile(Tuiservice& ui, const std::string& path, const Tworkbooklimits& limits = {});
    ~TExcelFile();
    TExcelFile(const TExcelFile&) = delete;
    TExcelFile& operator=(const TExcelFile&) = delete;

    bool isopen() const { return open_; }
    const std::string& path() const { return path_; }
    // The file name without its directory, as messages name the workbook.
    std::string workbookname() const;
    const std::vector<std::string>& sheetnames() const { return names_; }
    // Makes the first sheet of that exact name current; raises when the
    // workbook has no such sheet. Without a workbook it does nothing.
    void selectsheet(const std::string& name);
    bool hassheet(const std::string& name) const;
    std::string sheetname() const;
    std::uint32_t lastrow() const;
    std::uint32_t lastcolumn() const;
    std::string cell(std::uint32_t r, std::uint32_t c) const;
    // Where a cell of the current sheet is, for messages:
    // "<workbook> sheet "<sheet>" cell <reference>".
    std::string where(std::uint32_t r, std::uint32_t c) const;

    class Treader; // format-specific part

private:
    const Tsheetgrid* current() const;

    std::string path_;
    bool open_ = false;
    std::vector<std::string> names_;
    std::size_t current_ = 0; // 0-based index into names_
    std::vector<std::unique_ptr<Tsheetgrid>> grids_;
    // Shared strings, held once and referred to by index from the cells.
    Tstringpool strings_;
    std::unique_ptr<Treader> reader_; // only while opening
};

// "AB12" for row 12, column 28.
std::string cellreference(std::uint32_t row, std::uint32_t column);

// Splits an A1-style reference ("AB12") into row and column; false when it
// is not one.
bool parsecellreference(const std::string& ref, std::uint32_t& row, std::uint32_t& column);

} // namespace velmora
