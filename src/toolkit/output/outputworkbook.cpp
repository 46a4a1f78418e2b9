#include "toolkit/output/outputworkbook.h"

#include <cstdio>

#include <xlsxwriter.h>

#include "numeric/errors.h"
#include "toolkit/sheets/workbookwriter.h"

namespace velmora {

namespace {

void check(lxw_error error, const std::string& path) {
    if (error != LXW_NO_ERROR)
        throw Eerror("Cannot write the workbook " + path + ": " + lxw_strerror(error));
}

// Closes the workbook whatever happens, so a failed write leaks nothing.
struct Topenworkbook {
    lxw_workbook* book;
    ~Topenworkbook() {
        if (book) workbook_close(book);
    }
};

void writelines(lxw_worksheet* sheet, const std::vector<std::string>& lines,
                const std::string& path) {
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (row >= LXW_ROW_MAX) throw Eerror("Cannot write the workbook " + path +
                                             ": more rows than a worksheet holds");
        const std::string& line = lines[row];
        std::size_t start = 0;
        for (lxw_col_t col = 0;; ++col) {
            const std::size_t tab = line.find('\t', start);
            const std::string field = line.substr(start, tab == std::string::npos ? tab : tab - start);
            if (!field.empty()) {
                if (col >= LXW_COL_MAX) throw Eerror("Cannot write the workbook " + path +
                                                     ": more columns than a worksheet holds");
                double value = 0;
                // isplainnumber refuses inf and nan, which libxlsxwriter
                // would write as invalid XML.
                if (isplainnumber(field, value))
                    check(worksheet_write_number(sheet, static_cast<lxw_row_t>(row), col, value, nullptr), path);
                else
                    check(worksheet_write_string(sheet, static_cast<lxw_row_t>(row), col, field.c_str(), nullptr), path);
            }
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
    }
}

} // namespace

std::string sheetname(const std::string& name) {
    std::string out;
    for (char ch : name) {
        if (std::string("[]:*?/\\").find(ch) != std::string::npos) ch = '_';
        out += ch;
    }
    if (out.size() > 31) out.resize(31);
    return out.empty() ? std::string("Sheet") : out;
}

void Toutputworkbook::addtext(const std::string& name, std::vector<std::string> lines) {
    sheets_.push_back({sheetname(name), std::move(lines), {}});
}

void Toutputworkbook::addpicture(const std::string& name, std::vector<unsigned char> png) {
    sheets_.push_back({sheetname(name), {}, std::move(png)});
}

void Toutputworkbook::write() const {
    // Written beside the file and renamed at the end: a failure leaves the
    // workbook of the previous output as it was.
    const std::string part = path_ + ".part";
    try {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE; // rows go out in order; big tables stay small
        Topenworkbook book{workbook_new_opt(part.c_str(), &options)};
        if (!book.book) throw Eerror("Cannot write the workbook " + path_);
        for (const Tsheet& s : sheets_) {
            lxw_worksheet* sheet = workbook_add_worksheet(book.book, s.name.c_str());
            if (!sheet) throw Eerror("Cannot write the workbook " + path_ + ": bad sheet name " + s.name);
            writelines(sheet, s.lines, path_);
            if (!s.png.empty())
                check(worksheet_insert_image_buffer(sheet, 0, 0, s.png.data(), s.png.size()), path_);
        }
        lxw_workbook* closing = book.book;
        book.book = nullptr;
        const lxw_error error = workbook_close(closing);
        if (error != LXW_NO_ERROR) {
            std::remove(part.c_str());
            check(error, path_);
        }
    } catch (...) {
        std::remove(part.c_str());
        throw;
    }
    if (std::rename(part.c_str(), path_.c_str()) != 0) {
        std::remove(part.c_str());
        throw Eerror("Cannot write the workbook " + path_);
    }
}

} // namespace velmora
