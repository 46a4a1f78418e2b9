#include "toolkit/sheets/xlsxstream.h"

#include <cstring>
#include <vector>

#include <expat.h>

#include "toolkit/sheets/excelfile.h" // parsecellreference

namespace velmora {

std::uint32_t parserownumber(const char* text) {
    std::uint64_t r = 0;
    if (!*text) return 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        r = r * 10 + static_cast<std::uint64_t>(*p - '0');
        if (r > maxsheetrow) return 0;
    }
    return static_cast<std::uint32_t>(r);
}

namespace {

// The elements that matter; everything else is "other" and only counted.
enum Telement : std::uint8_t {
    eOther,
    eWorksheet,
    eSheetdata,
    eRow,
    eC,
    eV,
    eIs,
    eT,
    eR,
    eSst,
    eSi
};

constexpr std::size_t deepest = 64; // far beyond any workbook part

Telement kindof(const char* name) {
    // Called for every element of a part that may hold millions: the first
    // letter decides most.
    switch (name[0]) {
    case 'c':
        return name[1] == 0 ? eC : eOther;
    case 'v':
        return name[1] == 0 ? eV : eOther;
    case 't':
        return name[1] == 0 ? eT : eOther;
    case 'r':
        return name[1] == 0 ? eR : std::strcmp(name, "row") == 0 ? eRow : eOther;
    case 'i':
        return std::strcmp(name, "is") == 0 ? eIs : eOther;
    case 's':
        return std::strcmp(name, "si") == 0          ? eSi
               : std::strcmp(name, "sst") == 0       ? eSst
               : std::strcmp(name, "sheetData") == 0 ? eSheetdata
                                                     : eOther;
    case 'w':
        return std::strcmp(name, "worksheet") == 0 ? eWorksheet : eOther;
    default:
        return eOther;
    }
}

const char* attribute(const char** attributes, const char* name) {
    for (const char** a = attributes; *a; a += 2)
        if (std::strcmp(a[0], name) == 0) return a[1];
    return nullptr;
}

} // namespace

// A string item (<si>, or <is> of an inline cell): the first direct <t>, or
// else the <t> of every rich-text run.
struct Titem {
    bool direct = false;
    std::string directtext;
    std::string runs;
    void clear() {
        direct = false;
        directtext.clear();
        runs.clear();
    }
    std::string& text() { return direct ? directtext : runs; }
};

struct Txlsxparser::Tstate {
    XML_Parser parser = nullptr;
    bool sheet = true;
    std::function<void(Txlsxcell&)> cell;
    std::function<void(std::string&)> item;
    std::vector<Telement> stack;
    std::string error;
    // Where the character data goes, if anywhere.
    std::string* text = nullptr;
    bool firstdirect = false; // the first direct <t> of an item is being read
    std::uint32_t rownumber = 0;
    std::uint32_t colnumber = 0;
    Txlsxcell current;
    Titem itemtext;

    void fail(const std::string& why) {
        if (error.empty()) error = why;
        XML_StopParser(parser, XML_FALSE);
    }
    Telement parent(std::size_t up = 1) const {
        return stack.size() > up ? stack[stack.size() - 1 - up] : eOther;
    }
    std::size_t depth() const { return stack.size(); }

    void start(const char* name, const char** attributes) {
        Telement k = kindof(name);
        stack.push_back(k);
        if (stack.size() > deepest) return fail("nests its elements deeper than a workbook does");
        if (stack.size() == 1 && sheet && k != eWorksheet) return fail("has no worksheet element");
        if (sheet)
            startsheet(k, attributes);
        else
            startstrings(k);
    }

    void startsheet(Telement k, const char** attributes) {
        const std::size_t d = depth();
        if (k == eRow && d == 3 && parent() == eSheetdata) {
            const char* r = attribute(attributes, "r");
            rownumber = r ? parserownumber(r) : rownumber + 1;
            if (rownumber == 0 || rownumber > maxsheetrow)
                return fail("has a bad row number \"" + std::string(r ? r : "") + "\"");
            colnumber = 0;
        } else if (k == eC && d == 4 && parent() == eRow) {
            current = Txlsxcell{};
            current.row = rownumber;
            current.column = colnumber + 1;
            if (const char* ref = attribute(attributes, "r")) {
                if (!parsecellreference(ref, current.row, current.column) ||
                    current.row > maxsheetrow || current.column > maxsheetcolumn)
                    return fail("has a bad cell reference \"" + std::string(ref) + "\"");
            } else if (current.column > maxsheetcolumn) {
                return fail("has too many cells in a row");
            }
            colnumber = current.column;
            if (const char* t = attribute(attributes, "t")) current.type = t;
            itemtext.clear();
        } else if (k == eV && d == 5 && parent() == eC && !current.hasvalue) {
            current.hasvalue = true;
            text = &current.value;
        } else if (k == eT && d == 6 && parent() == eIs) {
            directt();
        } else if (k == eT && d == 7 && parent() == eR && parent(2) == eIs) {
            text = &itemtext.runs;
        }
    }

    void startstrings(Telement k) {
        const std::size_t d = depth();
        if (k == eSi && d == 2) {
            itemtext.clear();
        } else if (k == eT && d == 3 && parent() == eSi) {
            directt();
        } else if (k == eT && d == 4 && parent() == eR && parent(2) == eSi) {
            text = &itemtext.runs;
        }
    }

    void directt() {
        if (itemtext.direct) return; // only the first counts
        itemtext.direct = true;
        text = &itemtext.directtext;
    }

    void end() {
        Telement k = stack.empty() ? eOther : stack.back();
        const std::size_t d = depth();
        text = nullptr;
        if (sheet && k == eC && d == 4 && parent() == eRow) {
            current.inlinetext = std::move(itemtext.text());
            // An empty cell is no cell: nothing to tell.
            if (current.hasvalue || !current.inlinetext.empty()) cell(current);
        } else if (!sheet && k == eSi && d == 2) {
            item(itemtext.text());
        }
        stack.pop_back();
    }
};

namespace {

void XMLCALL onstart(void* data, const char* name, const char** attributes) {
    static_cast<Txlsxparser::Tstate*>(data)->start(name, attributes);
}
void XMLCALL onend(void* data, const char*) {
    static_cast<Txlsxparser::Tstate*>(data)->end();
}
void XMLCALL ontext(void* data, const char* s, int n) {
    auto* state = static_cast<Txlsxparser::Tstate*>(data);
    if (state->text) state->text->append(s, static_cast<std::size_t>(n));
}
// Entities are declared only in a document type: a workbook part has none,
// and refusing it leaves no way to make a small part expand into gigabytes.
void XMLCALL ondoctype(void* data, const char*, const char*, const char*, int) {
    static_cast<Txlsxparser::Tstate*>(data)->fail("declares a document type");
}

} // namespace

Txlsxparser::Txlsxparser(std::unique_ptr<Tstate> state) : state_(std::move(state)) {
    state_->parser = XML_ParserCreate(nullptr);
    if (!state_->parser) throw std::bad_alloc();
    XML_SetUserData(state_->parser, state_.get());
    XML_SetElementHandler(state_->parser, onstart, onend);
    XML_SetCharacterDataHandler(state_->parser, ontext);
    XML_SetStartDoctypeDeclHandler(state_->parser, ondoctype);
}

Txlsxparser::~Txlsxparser() {
    if (state_ && state_->parser) XML_ParserFree(state_->parser);
}

std::unique_ptr<Txlsxparser> Txlsxparser::sheet(std::function<void(Txlsxcell&)> cell) {
    auto state = std::make_unique<Tstate>();
    state->sheet = true;
    state->cell = std::move(cell);
    return std::unique_ptr<Txlsxparser>(new Txlsxparser(std::move(state)));
}

std::unique_ptr<Txlsxparser> Txlsxparser::strings(std::function<void(std::string&)> item) {
    auto state = std::make_unique<Tstate>();
    state->sheet = false;
    state->item = std::move(item);
    return std::unique_ptr<Txlsxparser>(new Txlsxparser(std::move(state)));
}

void Txlsxparser::feed(const char* data, std::size_t size, bool last) {
    Tstate& s = *state_;
    // The handlers raise nothing through the parser (a C library): they
    // stop it and keep the reason; a callback's exception is kept whole.
    std::exception_ptr raised;
    // Callbacks run inside XML_Parse; an exception from one must not cross
    // the C frames, so the callbacks are wrapped where they are called.
    auto cell = s.cell;
    auto item = s.item;
    s.cell = [&](Txlsxcell& c) {
        try {
            cell(c);
        } catch (...) {
            raised = std::current_exception();
            s.fail("stopped");
        }
    };
    s.item = [&](std::string& t) {
        try {
            item(t);
        } catch (...) {
            raised = std::current_exception();
            s.fail("stopped");
        }
    };
    XML_Status status = XML_Parse(s.parser, data, static_cast<int>(size), last ? 1 : 0);
    s.cell = cell;
    s.item = item;
    if (raised) std::rethrow_exception(raised);
    if (!s.error.empty()) throw Exlsxdamage(s.error);
    if (status != XML_STATUS_OK)
        throw Exlsxdamage("is not valid XML (" +
                          std::string(XML_ErrorString(XML_GetErrorCode(s.parser))) + ", line " +
                          std::to_string(XML_GetCurrentLineNumber(s.parser)) + ")");
}

} // namespace velmora
