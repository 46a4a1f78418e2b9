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

// The cells of one sheet, row by row; missing cells are empty texts.
struct Tsheetgrid {
    std::vector<std::vector<std::string>> rows; // rows[r-1][c-1]
    std::uint32_t lastrow = 0;
    std::uint32_t lastcolumn = 0;
    const std::string& cell(std::uint32_t r, std::uint32_t c) const;
    void set(std::uint32_t r, std::uint32_t c, std::string text);
};

class TExcelFile {
public:
    // Opens the workbook and reads all its sheets. When any part cannot be
    // read, warns with the file and the reason; the object then holds no
    // workbook and reads empty cells.
    TExcelFile(Tuiservice& ui, const std::string& path);
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

    class Treader; // format-specific part

private:
    const Tsheetgrid* current() const;

    std::string path_;
    bool open_ = false;
    std::vector<std::string> names_;
    std::size_t current_ = 0; // 0-based index into names_
    std::vector<std::unique_ptr<Tsheetgrid>> grids_;
    std::unique_ptr<Treader> reader_; // only while opening
};

// Splits an A1-style reference ("AB12") into row and column; false when it
// is not one.
bool parsecellreference(const std::string& ref, std::uint32_t& row, std::uint32_t& column);

} // namespace velmora
