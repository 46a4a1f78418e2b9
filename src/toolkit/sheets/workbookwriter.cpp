#include "toolkit/sheets/workbookwriter.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include <xlsxwriter.h>

#include "numeric/errors.h"

namespace velmora {

struct Tworkbookwriter::Timpl {
    std::string path;
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
};

namespace {
void check(lxw_error error, const std::string& what) {
    if (error != LXW_NO_ERROR) throw Eerror(what + ": " + lxw_strerror(error));
}
} // namespace

Tworkbookwriter::Tworkbookwriter(const std::string& path) : impl_(std::make_unique<Timpl>()) {
    impl_->path = path;
    lxw_workbook_options options = {};
    options.constant_memory = LXW_FALSE;
    impl_->workbook = workbook_new_opt(path.c_str(), &options);
    if (!impl_->workbook) throw Eerror("Cannot create the workbook " + path);
}

Tworkbookwriter::~Tworkbookwriter() {
    // An unclosed workbook is written anyway so its memory is released; a
    // failure then has nobody to report to.
    if (impl_->workbook) workbook_close(impl_->workbook);
}

void Tworkbookwriter::addsheet(const std::string& name) {
    impl_->sheet = workbook_add_worksheet(impl_->workbook, name.c_str());
    if (!impl_->sheet) throw Eerror("Cannot add the sheet \"" + name + "\" to " + impl_->path);
}

void Tworkbookwriter::number(std::uint32_t row, std::uint32_t column, double value) {
    if (!impl_->sheet) throw Eerror("No sheet to write to in " + impl_->path);
    if (!std::isfinite(value)) throw Eerror("A number that is not finite cannot be written");
    check(worksheet_write_number(impl_->sheet, row - 1, static_cast<lxw_col_t>(column - 1), value,
                                 nullptr),
          "Cannot write a cell of " + impl_->path);
}

void Tworkbookwriter::text(std::uint32_t row, std::uint32_t column, const std::string& value) {
    if (!impl_->sheet) throw Eerror("No sheet to write to in " + impl_->path);
    check(worksheet_write_string(impl_->sheet, row - 1, static_cast<lxw_col_t>(column - 1),
                                 value.c_str(), nullptr),
          "Cannot write a cell of " + impl_->path);
}

void Tworkbookwriter::cell(std::uint32_t row, std::uint32_t column, const std::string& value) {
    if (value.empty()) return;
    double x = 0;
    if (isplainnumber(value, x))
        number(row, column, x);
    else
        text(row, column, value);
}

void Tworkbookwriter::close() {
    lxw_workbook* w = impl_->workbook;
    impl_->workbook = nullptr;
    impl_->sheet = nullptr;
    if (w) check(workbook_close(w), "Cannot write the workbook " + impl_->path);
}

bool isplainnumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.' && c != 'e' && c != 'E' && c != '-' && c != '+')
            return false;
    }
    if (!digit) return false;
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    return ec == std::errc() && end == last && std::isfinite(value);
}

std::vector<std::vector<std::string>> readcsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Eerror("Cannot read " + path);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string data = buffer.str();
    if (data.size() >= 3 && data.compare(0, 3, "\xEF\xBB\xBF") == 0) data.erase(0, 3);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char c = data[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < data.size() && data[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (quoted) throw Eerror(path + ": a quoted field is not closed");
    if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace velmora
