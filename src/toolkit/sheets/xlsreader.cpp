#include "toolkit/sheets/xlsreader.h"

#include <cstring>

namespace velmora {

namespace {

constexpr std::uint32_t endofchain = 0xFFFFFFFEu;

std::uint16_t u16(const std::string& d, std::size_t at) {
    if (at + 2 > d.size()) throw Exlsdamage("it ends inside a record");
    return static_cast<std::uint16_t>(static_cast<unsigned char>(d[at]) |
                                      (static_cast<unsigned char>(d[at + 1]) << 8));
}

std::uint32_t u32(const std::string& d, std::size_t at) {
    return static_cast<std::uint32_t>(u16(d, at)) |
           (static_cast<std::uint32_t>(u16(d, at + 2)) << 16);
}

// ---- the compound file ----------------------------------------------------------

class Tcompoundfile {
public:
    explicit Tcompoundfile(const std::string& data) : d_(data) {
        if (d_.size() < 512) throw Exlsdamage("the compound file header is cut short");
        const std::uint16_t shift = u16(d_, 0x1E);
        if (shift != 9 && shift != 12) throw Exlsdamage("the compound file has a bad sector size");
        sector_ = std::size_t(1) << shift;
        if (d_.size() < sector_) throw Exlsdamage("the compound file header is cut short");
        sectors_ = (d_.size() - sector_ + sector_ - 1) / sector_;
        // The FAT: its sectors from the 109 entries of the header and the
        // DIFAT chain, each checked.
        std::vector<std::uint32_t> fatsectors;
        const std::uint32_t nfat = u32(d_, 0x2C);
        if (nfat > sectors_) throw Exlsdamage("the compound file claims more FAT than it holds");
        for (std::size_t k = 0; k < 109 && fatsectors.size() < nfat; ++k)
            fatsectors.push_back(u32(d_, 0x4C + 4 * k));
        std::uint32_t difat = u32(d_, 0x44);
        for (std::size_t guard = 0; fatsectors.size() < nfat; ++guard) {
            if (difat >= sectors_ || guard > sectors_)
                throw Exlsdamage("the compound file's sector table is damaged");
            const std::size_t base = offset(difat);
            const std::size_t per = sector_ / 4 - 1;
            for (std::size_t k = 0; k < per && fatsectors.size() < nfat; ++k)
                fatsectors.push_back(u32(d_, base + 4 * k));
            difat = u32(d_, base + 4 * per);
        }
        for (std::uint32_t s : fatsectors) {
            if (s >= sectors_) throw Exlsdamage("the compound file's sector table is damaged");
            const std::size_t base = offset(s);
            for (std::size_t k = 0; k < sector_ / 4; ++k)
                fat_.push_back(u32(d_, base + 4 * k));
        }
    }

    // The stream named name (letter case aside); empty when there is none.
    bool find(const char* name, std::string& stream, std::uint64_t maxbytes) const {
        const std::string dir = chain(u32(d_, 0x30), fat_, sector_, 0, false);
        std::string root;
        bool rootread = false;
        for (std::size_t e = 0; e + 128 <= dir.size(); e += 128) {
            const std::uint8_t type = static_cast<std::uint8_t>(dir[e + 0x42]);
            if (type == 5 && !rootread) {
                // The root holds the mini stream.
                root = chain(u32(dir, e + 0x74), fat_, sector_, 0, false);
                rootread = true;
            }
            if (type != 2 || !named(dir, e, name)) continue;
            const std::uint64_t size = u32(dir, e + 0x78);
            if (size > maxbytes)
                throw Exlsdamage("its workbook stream is larger than " + std::to_string(maxbytes) +
                                 " bytes");
            const std::uint32_t start = u32(dir, e + 0x74);
            if (size < u32(d_, 0x38)) {
                if (!rootread) throw Exlsdamage("the compound file has no root entry");
                std::vector<std::uint32_t> minifat;
                const std::string table = chain(u32(d_, 0x3C), fat_, sector_, 0, false);
                for (std::size_t k = 0; k + 4 <= table.size(); k += 4)
                    minifat.push_back(u32(table, k));
                stream = chain(start, minifat, 64, size, true, &root);
            } else {
                stream = chain(start, fat_, sector_, size, false);
            }
            if (stream.size() < size) throw Exlsdamage("its workbook stream is cut short");
            stream.resize(static_cast<std::size_t>(size));
            return true;
        }
        return false;
    }

private:
    std::size_t offset(std::uint32_t s) const { return (std::size_t(s) + 1) * sector_; }

    static bool named(const std::string& dir, std::size_t e, const char* name) {
        const std::size_t length = u16(dir, e + 0x40);
        const std::size_t n = std::strlen(name);
        if (length != 2 * (n + 1)) return false;
        for (std::size_t k = 0; k < n; ++k) {
            std::uint16_t ch = u16(dir, e + 2 * k);
            if (ch >= 'a' && ch <= 'z') ch = static_cast<std::uint16_t>(ch - 32);
            char want = name[k];
            if (want >= 'a' && want <= 'z') want = static_cast<char>(want - 32);
            if (ch != static_cast<unsigned char>(want)) return false;
        }
        return true;
    }

    // The sectors of a chain, in order. Every index is checked and a chain
    // longer than the table (a loop) is refused. Up to want bytes when want
    // is not 0.
    std::string chain(std::uint32_t start, const std::vector<std::uint32_t>& table,
                      std::size_t size, std::uint64_t want, bool mini,
                      const std::string* ministream = nullptr) const {
        std::string out;
        std::uint32_t s = start;
        // A sector can stand in a chain once: a second visit is a loop.
        std::vector<bool> visited(table.size(), false);
        while (s != endofchain) {
            if (s >= table.size() || visited[s])
                throw Exlsdamage("the compound file's sector chains are damaged");
            visited[s] = true;
            if (mini) {
                const std::size_t at = std::size_t(s) * size;
                if (at + size > ministream->size())
                    throw Exlsdamage("the compound file's mini stream is cut short");
                out.append(*ministream, at, size);
            } else {
                if (s >= sectors_)
                    throw Exlsdamage("the compound file's sector chains are damaged");
                const std::size_t at = offset(s);
                out.append(d_, at, std::min(size, d_.size() - at));
            }
            if (want && out.size() >= want) break;
            s = table[s];
        }
        return out;
    }

    const std::string& d_;
    std::size_t sector_ = 512;
    std::size_t sectors_ = 0;
    std::vector<std::uint32_t> fat_;
};

// ---- BIFF8 records ----------------------------------------------------------------

struct Trecord {
    std::uint16_t type = 0;
    std::size_t at = 0;   // of the record's data in the stream
    std::size_t size = 0; // of the data
};

constexpr std::size_t longestrecord = 8224;

// The record at pos; pos moves past it.
Trecord nextrecord(const std::string& s, std::size_t& pos) {
    Trecord r;
    r.type = u16(s, pos);
    r.size = u16(s, pos + 2);
    r.at = pos + 4;
    if (r.size > longestrecord || r.at + r.size > s.size())
        throw Exlsdamage("a record at byte " + std::to_string(pos) + " of its workbook stream " +
                         "is longer than the stream or than a record can be");
    pos = r.at + r.size;
    return r;
}

void appendutf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Reads the data of a record and the CONTINUE records after it as one run
// of bytes; inside character data a CONTINUE starts with a new flags byte.
class Tpieces {
public:
    Tpieces(const std::string& s, std::vector<Trecord> records)
        : s_(s), records_(std::move(records)) {}

    bool atend() const { return piece_ >= records_.size(); }
    std::uint8_t byte() {
        step();
        return static_cast<std::uint8_t>(s_[records_[piece_].at + pos_++]);
    }
    std::uint16_t word() {
        std::uint16_t lo = byte();
        return static_cast<std::uint16_t>(lo | (byte() << 8));
    }
    std::uint32_t dword() {
        std::uint32_t lo = word();
        return lo | (static_cast<std::uint32_t>(word()) << 16);
    }
    void skip(std::size_t n) {
        while (n > 0) {
            step();
            std::size_t here = std::min(n, records_[piece_].size - pos_);
            pos_ += here;
            n -= here;
        }
    }
    // An XLUnicodeRichExtendedString (shared strings) or, without the rich
    // and extended parts, an XLUnicodeString.
    std::string unicodestring(bool longcount) {
        const std::uint32_t count = longcount ? word() : byte();
        std::uint8_t flags = byte();
        std::uint16_t runs = 0;
        std::uint32_t extended = 0;
        if (flags & 0x08) runs = word();
        if (flags & 0x04) extended = dword();
        std::string text;
        std::uint32_t pending = 0; // a high surrogate waiting for its pair
        for (std::uint32_t k = 0; k < count; ++k) {
            if (pos_ >= records_[piece_].size && piece_ + 1 < records_.size()) {
                // The characters go on in the next CONTINUE, whose first
                // byte tells their width afresh.
                ++piece_;
                pos_ = 0;
                flags = byte();
            }
            std::uint32_t ch = (flags & 0x01) ? word() : byte();
            if (ch >= 0xD800 && ch < 0xDC00) {
                if (pending) appendutf8(text, 0xFFFD);
                pending = ch;
                continue;
            }
            if (ch >= 0xDC00 && ch < 0xE000) {
                appendutf8(text,
                           pending ? 0x10000 + ((pending - 0xD800) << 10) + (ch - 0xDC00) : 0xFFFD);
                pending = 0;
                continue;
            }
            if (pending) appendutf8(text, 0xFFFD);
            pending = 0;
            appendutf8(text, ch);
        }
        if (pending) appendutf8(text, 0xFFFD);
        skip(std::size_t(runs) * 4 + extended);
        return text;
    }

private:
    void step() {
        while (piece_ < records_.size() && pos_ >= records_[piece_].size) {
            ++piece_;
            pos_ = 0;
        }
        if (piece_ >= records_.size()) throw Exlsdamage("a string runs past the end of its record");
    }
    const std::string& s_;
    std::vector<Trecord> records_;
    std::size_t piece_ = 0;
    std::size_t pos_ = 0;
};

double rkvalue(std::uint32_t rk) {
    double x = 0;
    if (rk & 2) {
        x = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&x, &bits, 8);
    }
    return (rk & 1) ? x / 100 : x;
}

const char* errortext(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    default:
        return "#N/A";
    }
}

} // namespace

Txlsworkbook::Txlsworkbook(const std::string& data, std::uint64_t maxstream) {
    Tcompoundfile file(data);
    if (!file.find("Workbook", stream_, maxstream)) {
        std::string old;
        if (file.find("Book", old, maxstream))
            throw Exlsdamage("it is an Excel 5/95 workbook, which is not read; save it as .xlsx");
        throw Exlsdamage("it holds no workbook stream");
    }
    std::size_t pos = 0;
    Trecord bof = nextrecord(stream_, pos);
    if (bof.type != 0x0809 || bof.size < 4 || u16(stream_, bof.at) != 0x0600 ||
        u16(stream_, bof.at + 2) != 0x0005)
        throw Exlsdamage("it is not an Excel 97-2003 (BIFF8) workbook");
    while (pos < stream_.size()) {
        Trecord r = nextrecord(stream_, pos);
        if (r.type == 0x000A) break; // EOF of the globals
        if (r.type == 0x002F) throw Exlsdamage("it is encrypted");
        if (r.type == 0x0085) { // BOUNDSHEET8
            if (r.size < 8) throw Exlsdamage("a sheet entry is cut short");
            const std::uint32_t offset = u32(stream_, r.at);
            const std::uint8_t kind = static_cast<std::uint8_t>(stream_[r.at + 5]);
            Tpieces piece(stream_, {Trecord{r.type, r.at + 6, r.size - 6}});
            std::string name = piece.unicodestring(false);
            if (kind != 0) continue; // charts, macro and module sheets hold no cells
            if (offset >= stream_.size())
                throw Exlsdamage("sheet \"" + name + "\" starts beyond the end of the workbook");
            names_.push_back(name);
            offsets_.push_back(offset);
        } else if (r.type == 0x00FC) { // SST and its CONTINUE records
            std::vector<Trecord> pieces{r};
            std::size_t p = pos;
            while (p + 4 <= stream_.size() && u16(stream_, p) == 0x003C) {
                pieces.push_back(nextrecord(stream_, p));
                pos = p;
            }
            Tpieces sst(stream_, pieces);
            sst.dword(); // total uses
            const std::uint32_t unique = sst.dword();
            for (std::uint32_t k = 0; k < unique && !sst.atend(); ++k)
                strings_.push_back(sst.unicodestring(true));
        }
    }
    stringcount_ = strings_.size();
}

void Txlsworkbook::readsheet(std::size_t index, Txlscells& cells) const {
    const std::string& s = stream_;
    const std::string& name = names_.at(index);
    std::size_t pos = offsets_.at(index);
    Trecord bof = nextrecord(s, pos);
    if (bof.type != 0x0809) throw Exlsdamage("sheet \"" + name + "\" does not start where it says");
    auto where = [&](const Trecord& r, std::size_t need) {
        if (r.size < need)
            throw Exlsdamage("sheet \"" + name + "\" has a cell record cut short (type " +
                             std::to_string(r.type) + ")");
    };
    int depth = 0; // charts embedded in the sheet have BOF..EOF of their own
    bool formulastring = false;
    std::uint32_t fr = 0, fc = 0;
    while (pos < s.size()) {
        Trecord r = nextrecord(s, pos);
        if (r.type == 0x0809) {
            ++depth;
            continue;
        }
        if (r.type == 0x000A) {
            if (depth-- == 0) return;
            continue;
        }
        if (depth > 0) continue;
        if (r.type != 0x0207) formulastring = false;
        const std::uint32_t row = r.size >= 2 ? u16(s, r.at) + 1u : 0;
        const std::uint32_t col = r.size >= 4 ? u16(s, r.at + 2) + 1u : 0;
        switch (r.type) {
        case 0x0203: // NUMBER
            where(r, 14);
            double x;
            std::memcpy(&x, s.data() + r.at + 6, 8);
            cells.number(row, col, x);
            break;
        case 0x027E: // RK
            where(r, 10);
            cells.number(row, col, rkvalue(u32(s, r.at + 6)));
            break;
        case 0x00BD: { // MULRK
            where(r, 12);
            const std::size_t n = (r.size - 6) / 6;
            const std::uint32_t last = u16(s, r.at + r.size - 2) + 1u;
            if ((r.size - 6) % 6 != 0 || last < col || last - col + 1 != n)
                throw Exlsdamage("sheet \"" + name + "\" has a damaged MULRK record");
            for (std::size_t k = 0; k < n; ++k)
                cells.number(row, col + static_cast<std::uint32_t>(k),
                             rkvalue(u32(s, r.at + 4 + 6 * k + 2)));
            break;
        }
        case 0x00FD: { // LABELSST
            where(r, 10);
            const std::uint32_t k = u32(s, r.at + 6);
            if (k >= stringcount_)
                throw Exlsdamage("sheet \"" + name + "\" refers to a missing shared string " +
                                 std::to_string(k));
            cells.shared(row, col, k);
            break;
        }
        case 0x0204:   // LABEL
        case 0x00D6: { // RSTRING
            where(r, 9);
            Tpieces piece(s, {Trecord{r.type, r.at + 6, r.size - 6}});
            cells.text(row, col, piece.unicodestring(true));
            break;
        }
        case 0x0205: // BOOLERR
            where(r, 8);
            if (s[r.at + 7] == 0)
                cells.text(row, col, s[r.at + 6] ? "TRUE" : "FALSE");
            else
                cells.text(row, col, errortext(static_cast<std::uint8_t>(s[r.at + 6])));
            break;
        case 0x0006: { // FORMULA: its cached value
            where(r, 14);
            if (u16(s, r.at + 12) != 0xFFFF) {
                double v;
                std::memcpy(&v, s.data() + r.at + 6, 8);
                cells.number(row, col, v);
                break;
            }
            const std::uint8_t kind = static_cast<std::uint8_t>(s[r.at + 6]);
            const std::uint8_t value = static_cast<std::uint8_t>(s[r.at + 8]);
            if (kind == 0) {
                formulastring = true; // the text follows in a STRING record
                fr = row;
                fc = col;
            } else if (kind == 1) {
                cells.text(row, col, value ? "TRUE" : "FALSE");
            } else if (kind == 2) {
                cells.text(row, col, errortext(value));
            }
            break;
        }
        case 0x0207: // STRING
            if (!formulastring) break;
            formulastring = false;
            {
                Tpieces piece(s, {r});
                cells.text(fr, fc, piece.unicodestring(true));
            }
            break;
        default:
            break;
        }
    }
    throw Exlsdamage("sheet \"" + name + "\" has no end");
}

} // namespace velmora
