#include "toolkit/sheets/workbookwriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include <pugixml.hpp>
#include <xlsxwriter.h>
#include <zip.h>

#include "numeric/errors.h"

namespace velmora {

struct Tworkbookwriter::Timpl {
    std::string path;
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    // Per sheet, in the order added: the exact texts of the number cells
    // that the library would write with too few digits, by cell reference.
    std::vector<std::map<std::string, std::string>> exact;
};

namespace {

void check(lxw_error error, const std::string& what) {
    if (error != LXW_NO_ERROR) throw Eerror(what + ": " + lxw_strerror(error));
}

std::string cellreference(std::uint32_t row, std::uint32_t column) {
    std::string letters;
    for (std::uint32_t c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

// The library writes numbers with 16 significant digits ("%.16G"), which
// does not always give back the same double (0.30000000000000004 becomes
// 0.3, the largest double overflows). Returns the shortest exact text when
// that happens, else an empty text.
std::string exacttext(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16G", value);
    if (std::strtod(buffer, nullptr) == value) return {};
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return {};
    return std::string(buffer, end);
}

struct Tstringwriter : pugi::xml_writer {
    std::string data;
    void write(const void* p, std::size_t size) override {
        data.append(static_cast<const char*>(p), size);
    }
};

// Rewrites the values of the recorded number cells in the written file.
void patchnumbers(const std::string& path,
                  const std::vector<std::map<std::string, std::string>>& exact) {
    bool any = false;
    for (const auto& cells : exact)
        any = any || !cells.empty();
    if (!any) return;
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), 0, &error);
    if (!zip) throw Eerror("Cannot rewrite the numbers of " + path);
    std::vector<std::unique_ptr<std::string>> keep; // buffers live until zip_close
    try {
        for (std::size_t k = 0; k < exact.size(); ++k) {
            if (exact[k].empty()) continue;
            std::string name = "xl/worksheets/sheet" + std::to_string(k + 1) + ".xml";
            zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
            zip_file_t* file = index < 0 ? nullptr : zip_fopen_index(zip, index, 0);
            if (!file) throw Eerror("Cannot read back " + name + " of " + path);
            std::string xml;
            char buffer[65536];
            zip_int64_t n;
            while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
                xml.append(buffer, static_cast<std::size_t>(n));
            zip_fclose(file);
            pugi::xml_document doc;
            unsigned options =
                pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;
            if (n < 0 || !doc.load_buffer(xml.data(), xml.size(), options))
                throw Eerror("Cannot read back " + name + " of " + path);
            for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row"))
                for (pugi::xml_node c : row.children("c")) {
                    auto it = exact[k].find(c.attribute("r").value());
                    if (it != exact[k].end()) c.child("v").text().set(it->second.c_str());
                }
            Tstringwriter out;
            doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
            keep.push_back(std::make_unique<std::string>(std::move(out.data)));
            zip_source_t* source =
                zip_source_buffer(zip, keep.back()->data(), keep.back()->size(), 0);
            if (!source || zip_file_replace(zip, static_cast<zip_uint64_t>(index), source, 0) < 0) {
                if (source) zip_source_free(source);
                throw Eerror("Cannot rewrite " + name + " of " + path);
            }
        }
    } catch (...) {
        zip_discard(zip);
        throw;
    }
    if (zip_close(zip) != 0) {
        std::string reason = zip_strerror(zip);
        zip_discard(zip);
        throw Eerror("Cannot rewrite the numbers of " + path + ": " + reason);
    }
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
    if (impl_->workbook && workbook_close(impl_->workbook) == LXW_NO_ERROR) {
        try {
            patchnumbers(impl_->path, impl_->exact);
        } catch (...) {
        }
    }
}

void Tworkbookwriter::addsheet(const std::string& name) {
    impl_->sheet = workbook_add_worksheet(impl_->workbook, name.c_str());
    if (!impl_->sheet) throw Eerror("Cannot add the sheet \"" + name + "\" to " + impl_->path);
    impl_->exact.emplace_back();
}

void Tworkbookwriter::number(std::uint32_t row, std::uint32_t column, double value) {
    if (!impl_->sheet) throw Eerror("No sheet to write to in " + impl_->path);
    if (!std::isfinite(value)) throw Eerror("A number that is not finite cannot be written");
    check(worksheet_write_number(impl_->sheet, row - 1, static_cast<lxw_col_t>(column - 1), value,
                                 nullptr),
          "Cannot write a cell of " + impl_->path);
    std::string exact = exacttext(value);
    auto& cells = impl_->exact.back();
    if (exact.empty())
        cells.erase(cellreference(row, column));
    else
        cells[cellreference(row, column)] = exact;
}

void Tworkbookwriter::text(std::uint32_t row, std::uint32_t column, const std::string& value) {
    if (!impl_->sheet) throw Eerror("No sheet to write to in " + impl_->path);
    check(worksheet_write_string(impl_->sheet, row - 1, static_cast<lxw_col_t>(column - 1),
                                 value.c_str(), nullptr),
          "Cannot write a cell of " + impl_->path);
    impl_->exact.back().erase(cellreference(row, column));
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
    if (!w) return;
    check(workbook_close(w), "Cannot write the workbook " + impl_->path);
    patchnumbers(impl_->path, impl_->exact);
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
    if (*first == '+') {
        ++first;
        if (first != last && (*first == '-' || *first == '+')) return false; // "+-1"
    }
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
