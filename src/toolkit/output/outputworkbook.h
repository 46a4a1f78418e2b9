#pragma once
// The workbook that the output window's "Spreadsheet" destination fills: one
// .xlsx file per program run, one worksheet per output. libxlsxwriter cannot
// add to a file it has written, so the workbook keeps every sheet's content
// and writes the whole file again after each output.
#include <string>
#include <vector>

namespace velmora {

class Toutputworkbook {
public:
    explicit Toutputworkbook(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    int sheets() const { return static_cast<int>(sheets_.size()); }

    // A new worksheet of text lines: line i goes to row i, its tab-separated
    // fields to columns 1, 2, ...; fields that read as numbers are numbers,
    // all others texts (never formulas, whatever they begin with).
    void addtext(const std::string& name, std::vector<std::string> lines);
    // A new worksheet showing a picture given as the bytes of a PNG file.
    void addpicture(const std::string& name, std::vector<unsigned char> png);

    // Writes the file with all sheets so far; raises Eerror naming the file
    // and libxlsxwriter's reason when that fails.
    void write() const;

private:
    struct Tsheet {
        std::string name;
        std::vector<std::string> lines;
        std::vector<unsigned char> png;
    };
    std::string path_;
    std::vector<Tsheet> sheets_;
};

// A worksheet name as the file format allows it: at most 31 characters,
// none of []:*?/\.
std::string sheetname(const std::string& name);

} // namespace velmora
