#include "toolkit/sheets/excelfile.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unordered_map>

#include <pugixml.hpp>
#include <zip.h>

#include "numeric/errors.h"
#include "numeric/files.h"
#include "numeric/utilities.h"
#include "toolkit/sheets/xlsreader.h"
#include "toolkit/sheets/xlsxstream.h"

namespace velmora {

namespace {

std::string numbertext(double x) {
    if (x == 0) return "0"; // also for -0
    // Whole numbers read as plain integers: integer parameters parse their
    // cells with the integer parser, which takes no exponent ("1e+06").
    if (std::fabs(x) < 9007199254740992.0 && x == std::trunc(x)) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", x);
        return buffer;
    }
    return shortesttext(x);
}

// Whitespace-only text runs (" " between two words of rich text) are text;
// pugixml drops them by default.
constexpr unsigned xmloptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

// Why a file failed: thrown inside the readers, reported by the constructor.
struct Topenerror {
    std::string reason;
};

std::string bytestext(std::uint64_t n) {
    if (n >= (1ull << 20) && n % (1ull << 20) == 0) return std::to_string(n >> 20) + " MiB";
    if (n >= (1ull << 10) && n % (1ull << 10) == 0) return std::to_string(n >> 10) + " KiB";
    return std::to_string(n) + " bytes";
}

constexpr std::uint32_t ownedtext = 0xFFFFFFFFu;

} // namespace

// One cell: its own text, or the index of a shared string, which is held
// once however many cells use it.
struct Tsheetcell {
    std::uint32_t shared = ownedtext;
    std::string text;
};

// The non-empty cells of one sheet, by position. Sparse: one cell at XFD or
// at row 1,048,576 costs one entry, not a row or a column of empty texts.
struct Tsheetgrid {
    std::unordered_map<std::uint64_t, Tsheetcell> cells;
    std::uint32_t lastrow = 0;
    std::uint32_t lastcolumn = 0;
    static std::uint64_t key(std::uint32_t r, std::uint32_t c) {
        return (static_cast<std::uint64_t>(r) << 32) | c;
    }
    const Tsheetcell* find(std::uint32_t r, std::uint32_t c) const {
        auto it = cells.find(key(r, c));
        return it == cells.end() ? nullptr : &it->second;
    }
};

namespace {

// What the workbook has cost so far, against its limits.
struct Tworkbookbudget {
    Tworkbooklimits limits;
    std::uint64_t inflated = 0;
    std::uint64_t cells = 0;
    std::uint64_t textbytes = 0;

    void inflate(const std::string& part, std::uint64_t n) {
        if (n > limits.partbytes)
            throw Topenerror{part + " is larger than " + bytestext(limits.partbytes)};
        if (inflated + n > limits.workbookbytes)
            throw Topenerror{"its parts together are larger than " +
                             bytestext(limits.workbookbytes)};
    }
    void text(std::uint64_t n) {
        textbytes += n;
        if (textbytes > limits.textbytes)
            throw Topenerror{"its cells hold more than " + bytestext(limits.textbytes) +
                             " of text"};
    }
    // A cell that is new to its sheet: counted, with its own text.
    void cell(Tsheetgrid& grid, std::uint32_t r, std::uint32_t c, Tsheetcell value) {
        if (value.shared == ownedtext && value.text.empty()) return;
        auto [it, added] = grid.cells.try_emplace(Tsheetgrid::key(r, c));
        if (added && ++cells > limits.cells)
            throw Topenerror{"its sheets hold more than " + std::to_string(limits.cells) +
                             " cells"};
        text(value.text.size());
        it->second = std::move(value);
        if (r > grid.lastrow) grid.lastrow = r;
        if (c > grid.lastcolumn) grid.lastcolumn = c;
    }
};

} // namespace

std::string cellreference(std::uint32_t row, std::uint32_t column) {
    std::string letters;
    for (std::uint32_t c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

bool parsecellreference(const std::string& ref, std::uint32_t& row, std::uint32_t& column) {
    std::size_t i = 0;
    std::uint64_t c = 0, r = 0;
    while (i < ref.size() && ref[i] == '$')
        ++i;
    std::size_t letters = 0;
    while (i < ref.size() &&
           ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        char ch = static_cast<char>(ref[i] & ~0x20);
        c = c * 26 + static_cast<std::uint64_t>(ch - 'A' + 1);
        ++i;
        if (++letters > 3) return false;
    }
    while (i < ref.size() && ref[i] == '$')
        ++i;
    std::size_t digits = 0;
    while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9') {
        r = r * 10 + static_cast<std::uint64_t>(ref[i] - '0');
        ++i;
        if (++digits > 7) return false;
    }
    if (i != ref.size() || letters == 0 || digits == 0 || r == 0) return false;
    row = static_cast<std::uint32_t>(r);
    column = static_cast<std::uint32_t>(c);
    return true;
}

class TExcelFile::Treader {
public:
    virtual ~Treader() = default;
    virtual std::vector<std::string> sheetnames() = 0;
    // Both throw Topenerror.
    virtual std::unique_ptr<Tsheetgrid> readsheet(std::size_t index) = 0;
    // The shared strings, handed over once all sheets are read.
    virtual Tstringpool takestrings() { return {}; }
};

namespace {

// ---- .xlsx: a zip of XML parts -------------------------------------------

class Txlsxreader : public TExcelFile::Treader {
public:
    Txlsxreader(const std::string& path, Tworkbookbudget& budget) : budget_(budget) {
        // The file is read once, whole: opening each of its parts from the
        // file costs a seek and a stat, which a workbook of 150,000 sheets
        // turns into minutes.
        try {
            data_ = readregularfile(path, "the workbook", budget.limits.workbookbytes + (16 << 20));
        } catch (const EFileError& e) {
            std::string why = e.what();
            throw Topenerror{why.substr(why.rfind(": ") + 2)};
        }
        zip_error_t ze;
        zip_error_init(&ze);
        zip_source_t* source = zip_source_buffer_create(data_.data(), data_.size(), 0, &ze);
        if (source) {
            zip_ = zip_open_from_source(source, ZIP_RDONLY, &ze);
            if (!zip_) zip_source_free(source);
        }
        if (!zip_) {
            std::string reason = zip_error_strerror(&ze);
            zip_error_fini(&ze);
            throw Topenerror{"not a readable .xlsx workbook (" + reason + ")"};
        }
        zip_error_fini(&ze);
        // A throwing constructor runs no destructor: close the archive here.
        try {
            readworkbook();
        } catch (...) {
            zip_discard(zip_);
            zip_ = nullptr;
            throw;
        }
    }
    ~Txlsxreader() override {
        if (zip_) zip_discard(zip_);
    }

    std::vector<std::string> sheetnames() override {
        std::vector<std::string> names;
        for (auto& s : sheets_)
            names.push_back(s.name);
        return names;
    }

    std::unique_ptr<Tsheetgrid> readsheet(std::size_t index) override {
        const Tsheetentry& entry = sheets_.at(index);
        auto grid = std::make_unique<Tsheetgrid>();
        auto parser = Txlsxparser::sheet(
            [&](Txlsxcell& c) { budget_.cell(*grid, c.row, c.column, celltext(c, entry.name)); });
        try {
            stream(entry.path, *parser);
        } catch (const Exlsxdamage& e) {
            throw Topenerror{"sheet \"" + entry.name + "\" " + e.what()};
        }
        return grid;
    }

    Tstringpool takestrings() override { return std::move(strings_); }

private:
    struct Tsheetentry {
        std::string name;
        std::string path;
    };

    // A part's text. Its declared size is checked before anything is
    // inflated, and reading stops at the limit whatever the header claims,
    // so that a small crafted file cannot cost gigabytes.
    std::string part(const std::string& name, bool required) {
        std::string data;
        if (!inflate(name, required, [&](const char* d, std::size_t n) { data.append(d, n); }))
            return {};
        return data;
    }

    // A part fed to a parser as it inflates, never held whole.
    void stream(const std::string& name, Txlsxparser& parser) {
        inflate(name, true, [&](const char* d, std::size_t n) { parser.feed(d, n, false); });
        parser.feed(nullptr, 0, true);
    }

    // Inflates a part piece by piece into take; false when it is missing
    // and not required.
    bool inflate(const std::string& name, bool required,
                 const std::function<void(const char*, std::size_t)>& take) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(zip_, name.c_str(), 0, &st) != 0) {
            if (required) throw Topenerror{"the part \"" + name + "\" is missing"};
            return false;
        }
        bool sized = (st.valid & ZIP_STAT_SIZE) != 0;
        if (sized) budget_.inflate(name, st.size);
        // Deflate never grows data by more than a few bytes per block: a
        // part that tells a small size but holds much more compressed data
        // is damaged or crafted, and inflating it would cost its true size.
        if (sized && (st.valid & ZIP_STAT_COMP_SIZE) &&
            st.comp_size > st.size + st.size / 64 + 4096)
            throw Topenerror{"the part \"" + name + "\" is damaged (" +
                             std::to_string(st.comp_size) + " compressed bytes for " +
                             std::to_string(st.size) + ")"};
        zip_file_t* f = zip_fopen(zip_, name.c_str(), 0);
        if (!f) throw Topenerror{"the part \"" + name + "\" cannot be read"};
        std::uint64_t total = 0;
        try {
            // One buffer for all parts: a workbook of 150,000 tiny sheets
            // would otherwise clear 10 GB of fresh buffers.
            buffer_.resize(65536);
            zip_int64_t n;
            while ((n = zip_fread(f, buffer_.data(), buffer_.size())) > 0) {
                total += static_cast<std::uint64_t>(n);
                budget_.inflate(name, total);
                take(buffer_.data(), static_cast<std::size_t>(n));
            }
            if (n < 0 || (sized && total != st.size))
                throw Topenerror{"the part \"" + name + "\" is damaged"};
        } catch (...) {
            zip_fclose(f);
            throw;
        }
        zip_fclose(f);
        budget_.inflated += total;
        return true;
    }

    static void loadxml(pugi::xml_document& doc, const std::string& data, const std::string& name) {
        auto result = doc.load_buffer(data.data(), data.size(), xmloptions);
        if (!result)
            throw Topenerror{"the part \"" + name + "\" is not valid XML (" + result.description() +
                             ")"};
    }

    static std::string resolve(const std::string& target) {
        if (!target.empty() && target[0] == '/') return target.substr(1);
        std::string t = target;
        std::string base = "xl/";
        while (t.rfind("../", 0) == 0) {
            t = t.substr(3);
            base.clear();
        }
        return base + t;
    }

    void readworkbook() {
        pugi::xml_document workbook;
        loadxml(workbook, part("xl/workbook.xml", true), "xl/workbook.xml");
        pugi::xml_document rels;
        std::string relsdata = part("xl/_rels/workbook.xml.rels", true);
        loadxml(rels, relsdata, "xl/_rels/workbook.xml.rels");
        std::map<std::string, std::string> targets;
        for (pugi::xml_node r : rels.child("Relationships").children("Relationship"))
            targets[r.attribute("Id").value()] = r.attribute("Target").value();
        pugi::xml_node sheets = workbook.child("workbook").child("sheets");
        if (!sheets) throw Topenerror{"the workbook lists no sheets"};
        std::map<std::string, std::size_t> parts; // part -> its sheet
        for (pugi::xml_node s : sheets.children("sheet")) {
            std::string id = s.attribute("r:id").value();
            auto it = targets.find(id);
            if (it == targets.end())
                throw Topenerror{"sheet \"" + std::string(s.attribute("name").value()) +
                                 "\" has no part"};
            std::string path = resolve(it->second);
            std::string sheetname = s.attribute("name").value();
            // Two entries for one part would read it twice (a few hundred
            // cost as many copies); two of one name make selects ambiguous.
            auto [seen, added] = parts.emplace(path, sheets_.size());
            if (!added)
                throw Topenerror{"sheets \"" + sheets_[seen->second].name + "\" and \"" +
                                 sheetname + "\" both refer to the part \"" + path + "\""};
            zip_stat_t st;
            if (zip_stat(zip_, path.c_str(), 0, &st) != 0)
                throw Topenerror{"the part \"" + path + "\" of sheet \"" +
                                 std::string(s.attribute("name").value()) + "\" is missing"};
            sheets_.push_back({s.attribute("name").value(), path});
        }
        zip_stat_t st;
        if (zip_stat(zip_, "xl/sharedStrings.xml", 0, &st) == 0) {
            auto parser = Txlsxparser::strings([&](std::string& text) {
                budget_.text(text.size());
                strings_.add(text);
            });
            try {
                stream("xl/sharedStrings.xml", *parser);
            } catch (const Exlsxdamage& e) {
                throw Topenerror{std::string("the part \"xl/sharedStrings.xml\" ") + e.what()};
            }
        }
    }

    Tsheetcell celltext(const Txlsxcell& c, const std::string& sheet) {
        const std::string& type = c.type;
        Tsheetcell cell;
        if (type == "inlineStr") {
            cell.text = c.inlinetext;
            return cell;
        }
        if (!c.hasvalue) return cell;
        const char* value = c.value.c_str();
        const char* end = value + c.value.size();
        if (type == "s") {
            // The whole text is the index: "1abc" is damage, not string 1.
            std::size_t k = 0;
            auto [p, ec] = std::from_chars(value, end, k);
            if (ec != std::errc() || p != end || p == value || k >= strings_.size())
                throw Topenerror{"sheet \"" + sheet + "\" cell " + cellreference(c.row, c.column) +
                                 " refers to a missing shared string \"" + messagetext(c.value) +
                                 "\""};
            cell.shared = static_cast<std::uint32_t>(k);
            return cell;
        }
        if (type == "str" || type == "e") {
            cell.text = value;
        } else if (type == "b") {
            cell.text = c.value == "1" ? "TRUE" : "FALSE";
        } else {
            // A number: give the text that parses back to the stored double.
            double x = 0;
            auto [p, ec] = std::from_chars(value, end, x);
            cell.text = (ec != std::errc() || p != end) ? c.value : numbertext(x);
        }
        return cell;
    }

    Tworkbookbudget& budget_;
    std::string data_; // the whole file, which the archive reads from
    zip_t* zip_ = nullptr;
    std::vector<Tsheetentry> sheets_;
    Tstringpool strings_;
    std::vector<char> buffer_;
};

// ---- .xls: BIFF8 in a compound file, read by our own reader -------------------

class Txlsreader : public TExcelFile::Treader {
public:
    Txlsreader(const std::string& path, Tworkbookbudget& budget) : budget_(budget) {
        std::string data;
        try {
            data = readregularfile(path, "the workbook", budget.limits.workbookbytes);
            workbook_ = std::make_unique<Txlsworkbook>(data, budget.limits.partbytes);
        } catch (const Exlsdamage& e) {
            throw Topenerror{std::string("not a readable .xls workbook: ") + e.what()};
        } catch (const EFileError& e) {
            throw Topenerror{e.what()};
        }
    }

    std::vector<std::string> sheetnames() override { return workbook_->sheetnames(); }

    std::unique_ptr<Tsheetgrid> readsheet(std::size_t index) override {
        struct Tcollect : Txlscells {
            Tworkbookbudget& budget;
            Tsheetgrid& grid;
            Tcollect(Tworkbookbudget& b, Tsheetgrid& g) : budget(b), grid(g) {}
            void number(std::uint32_t r, std::uint32_t c, double x) override {
                Tsheetcell cell;
                cell.text = numbertext(x);
                budget.cell(grid, r, c, std::move(cell));
            }
            void text(std::uint32_t r, std::uint32_t c, std::string t) override {
                Tsheetcell cell;
                cell.text = std::move(t);
                budget.cell(grid, r, c, std::move(cell));
            }
            void shared(std::uint32_t r, std::uint32_t c, std::uint32_t k) override {
                Tsheetcell cell;
                cell.shared = k;
                budget.cell(grid, r, c, std::move(cell));
            }
        };
        auto grid = std::make_unique<Tsheetgrid>();
        Tcollect collect(budget_, *grid);
        try {
            workbook_->readsheet(index, collect);
        } catch (const Exlsdamage& e) {
            throw Topenerror{std::string("not a readable .xls workbook: ") + e.what()};
        }
        return grid;
    }

    Tstringpool takestrings() override {
        Tstringpool pool;
        for (const std::string& t : workbook_->takestrings()) {
            budget_.text(t.size());
            pool.add(t);
        }
        return pool;
    }

private:
    Tworkbookbudget& budget_;
    std::unique_ptr<Txlsworkbook> workbook_;
};

} // namespace

TExcelFile::TExcelFile(Tuiservice& ui, const std::string& path, const Tworkbooklimits& limits)
    : path_(path) {
    std::string reason;
    Tworkbookbudget budget{limits};
    try {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0)
            throw Topenerror{"the file does not exist or cannot be read"};
        // A pipe or a device would block or read without end.
        try {
            requireregularfile(path, "the workbook");
        } catch (const EFileError& e) {
            std::string why = e.what();
            throw Topenerror{why.substr(why.rfind(": ") + 2)};
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) throw Topenerror{"the file does not exist or cannot be read"};
        unsigned char magic[8] = {0};
        in.read(reinterpret_cast<char*>(magic), 8);
        std::streamsize got = in.gcount();
        if (got < 4) throw Topenerror{"the file is empty or too short to be a workbook"};
        in.close();
        static const unsigned char ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        if (magic[0] == 'P' && magic[1] == 'K')
            reader_ = std::make_unique<Txlsxreader>(path, budget);
        else if (got == 8 && std::memcmp(magic, ole, 8) == 0)
            reader_ = std::make_unique<Txlsreader>(path, budget);
        else
            throw Topenerror{"the file is neither an .xlsx nor an .xls workbook"};
        names_ = reader_->sheetnames();
        std::set<std::string> seen;
        for (const std::string& n : names_)
            if (!seen.insert(n).second) throw Topenerror{"it has two sheets named \"" + n + "\""};
        // Every sheet is read now, so that a damaged one is reported here,
        // once, and later selects and reads never fail half-way through an
        // import.
        for (std::size_t k = 0; k < names_.size(); ++k)
            grids_.push_back(reader_->readsheet(k));
        strings_ = reader_->takestrings();
        reader_.reset();
        open_ = true;
        return;
    } catch (const Topenerror& e) {
        reason = e.reason;
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    } catch (const std::exception& e) {
        reason = e.what();
    }
    reader_.reset();
    names_.clear();
    grids_.clear();
    strings_ = {};
    ui.warn("Cannot open the workbook " + path + ": " + reason);
}

TExcelFile::~TExcelFile() = default;

std::string TExcelFile::workbookname() const {
    std::size_t slash = path_.find_last_of("/\\");
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

bool TExcelFile::hassheet(const std::string& name) const {
    for (const auto& n : names_)
        if (n == name) return true;
    return false;
}

void TExcelFile::selectsheet(const std::string& name) {
    if (!open_) return;
    for (std::size_t k = 0; k < names_.size(); ++k) {
        if (names_[k] == name) {
            current_ = k;
            return;
        }
    }
    throw Eerror("The workbook " + workbookname() + " has no sheet \"" + name + "\"");
}

const Tsheetgrid* TExcelFile::current() const {
    if (!open_ || current_ >= grids_.size()) return nullptr;
    return grids_[current_].get();
}

std::string TExcelFile::sheetname() const {
    if (!open_ || names_.empty()) return {};
    return names_[current_];
}

std::uint32_t TExcelFile::lastrow() const {
    const Tsheetgrid* g = current();
    return g ? g->lastrow : 0;
}

std::uint32_t TExcelFile::lastcolumn() const {
    const Tsheetgrid* g = current();
    return g ? g->lastcolumn : 0;
}

std::string TExcelFile::where(std::uint32_t r, std::uint32_t c) const {
    return workbookname() + " sheet \"" + sheetname() + "\" cell " + cellreference(r, c);
}

std::string TExcelFile::cell(std::uint32_t r, std::uint32_t c) const {
    const Tsheetgrid* g = current();
    const Tsheetcell* found = g ? g->find(r, c) : nullptr;
    if (!found) return {};
    if (found->shared == ownedtext) return found->text;
    return found->shared < strings_.size() ? strings_.get(found->shared) : std::string();
}

} // namespace velmora
