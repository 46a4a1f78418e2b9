#pragma once
// The text side of the output window: lines, blank lines and tables in the
// four text styles, written to any stream. Plain C++ so that the formats can
// be checked without a display and so that a 3,468 x 3,468 table goes
// straight to its file, row by row, instead of through a text widget.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "toolkit/celltable.h"

namespace velmora {

// The text styles, numbered as the Format list shows them.
enum : int {
    styletab = 0,    // tab-delimited text, pastes into any spreadsheet
    stylematlab = 1, // a script that loads into Matlab or Octave
    styletex = 2,    // a TeX fragment
    stylehtml = 3,   // an HTML fragment
};

// Cell decoration, numbered as the "Cell values" list shows it.
enum : int {
    quoteplain = 0,   // 37
    quoteleading = 1, // '37
    quotedouble = 2,  // "37"
};

struct Ttableoptions {
    bool skipfixed = false;  // leave out the fixed heading rows and columns
    int quoting = quoteplain;
    bool transposed = false; // one output line per column
    bool fullprecision = false; // stored values with every digit, not as shown
};

// Told how many of all cells are written; answers false to stop. Called
// once per output line, so a stop comes within one line.
using Toutputprogress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Matlab lines are broken (with " ...") once they grow past this many
// characters: older Matlab versions refuse longer script lines.
constexpr std::size_t matlablinewidth = 900;

// The line that writeline writes for text in style (without the end of line).
std::string outputline(int style, const std::string& text);

// One line of text, and an empty line.
void writeline(std::ostream& out, int style, const std::string& text);
void writeblank(std::ostream& out, int style);

// The table as one block in style; number is the table's number within the
// program run (X1, X2, ...). Returns false when progress asked to stop; what
// was written then is incomplete, so the caller must throw it away.
bool writegrid(std::ostream& out, int style, const Tcelltable& table, int number,
               const Ttableoptions& options, const Tspecialtexts& special = {},
               const Toutputprogress& progress = {});

// What a file of that style needs before and after the collected lines for
// it to open on its own: the HTML document with its character set. Empty for
// the other styles.
std::string documenthead(int style, const std::string& title);
std::string documenttail(int style);

// True when text is a number spelled out in full ("1.5E-3", "+2"; not
// "inf" or "nan").
bool isnumbertext(const std::string& text);

// Escapes for text that goes into TeX (text mode) and HTML.
std::string texescape(const std::string& text);
std::string htmlescape(const std::string& text);

} // namespace velmora
