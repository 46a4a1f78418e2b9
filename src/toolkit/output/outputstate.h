#pragma once
// What the output window remembers over a program run: the number of the
// last table (X1, X2, ...), the number of the last worksheet and the
// workbook those worksheets go to.
#include <memory>
#include <string>

namespace velmora {

class Toutputworkbook;

struct Toutputstate {
    int outputcounter = 0;
    int spreadsheetoutputcounter = 0;
    // Made by the first spreadsheet output; opened on the desktop once.
    std::shared_ptr<Toutputworkbook> workbook;
    bool workbookopened = false;
    // Where the workbook goes; empty: the user's documents folder, or the
    // temporary folder when there is none.
    std::string workbookfolder;
};

} // namespace velmora
