#pragma once
// The output window every "Print" button opens. The caller makes it for text
// or a picture, shows it modally and, when the user confirmed, feeds it
// lines, memos, tables or a picture, then calls deliver. Nothing reaches a
// destination before deliver: a file is written beside its target and put
// in its place only then, so Cancel, an error while collecting or a stopped
// table leaves whatever was there untouched.
#include <QDialog>
#include <QImage>
#include <QPicture>
#include <QStringList>
#include <functional>
#include <memory>
#include <fstream>
#include <sstream>

#include "toolkit/celltable.h"
#include "toolkit/printdocument.h"
#include "toolkit/programinfo.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace velmora {

class Timage;

// Destinations, numbered as the radio group lists them.
enum : int {
    destinationnone = 0,
    destinationprinter = 1,
    destinationclipboard = 2,
    destinationfile = 3,
    destinationpreview = 4,
    destinationspreadsheet = 5,
};

// Picture styles, numbered as the Format list shows them.
enum : int { picturebitmap = 0, picturejpeg = 1, picturepng = 2, picturesvg = 3 };

// The file name extension and save filter of a format.
QString outputextension(bool graphics, int style);
QString outputfilter(bool graphics, int style);

class TOutputOptionsForm : public QDialog {
    Q_OBJECT
public:
    TOutputOptionsForm(const Tprograminfo& program, bool graphics, QWidget* parent = nullptr);

    QComboBox* FormatComboBox = nullptr;
    QGroupBox* TablesGroupBox = nullptr;
    QCheckBox* SkipFixedCheckBox = nullptr;
    QComboBox* CellValuesComboBox = nullptr;
    QCheckBox* TransposedCheckBox = nullptr;
    // "Values as shown" or "Full precision".
    QComboBox* ValuesComboBox = nullptr;
    QGroupBox* GraphsGroupBox = nullptr;
    QCheckBox* BlackWhiteCheckBox = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

class TOutputForm : public QDialog {
    Q_OBJECT
public:
    TOutputForm(const Tprograminfo& program, bool graphics, QWidget* parent = nullptr);
    ~TOutputForm() override;

    bool graphics() const { return graphics_; }
    int destination = destinationnone;
    int style = 0;
    bool blackandwhite = false;
    bool transposed = false;
    bool skipfixed = false;
    int quoting = 0;
    // Tables give their stored values with every digit instead of the
    // display's rounding (the default).
    bool fullprecision = false;
    bool appendchosen = false;

    // Tables with more cells than this ask before going to the clipboard,
    // the preview window or the spreadsheet, which hold them in memory, and
    // show a progress window with Cancel on the way to any destination.
    std::int64_t largecells = 1000000;
    std::int64_t progresscells = 100000;
    // The texts that stand for infinite, unknown and hidden values.
    Tspecialtexts special;

    // How the window tells the user: an error (the output failed), a warning
    // (it went through, something around it did not), a note (where it
    // went), and a yes/no question. Message boxes unless replaced, as tests do.
    std::function<void(const QString&)> reporterror;
    std::function<void(const QString&)> reportwarning;
    std::function<void(const QString&)> reportnote;
    std::function<bool(const QString&)> confirm;
    // Opens a file with the desktop's default application.
    std::function<bool(const QString&)> openfile;

    // Text output; raise EInvalidArgument "Invalid output style" on a
    // picture window, as writepicture does on a text window.
    void writeline(const std::string& text);
    void writememo(const QStringList& lines);
    void writeblank();
    // False when the table was not taken (the user stopped it or declined a
    // large one); the output is then abandoned and deliver writes nothing.
    bool writegrid(const Tcelltable& table);
    void writepicture(const QImage& image);
    // The picture of an image control, with its strokes, so that SVG files,
    // SVG on the clipboard and the printer get vectors, not pixels.
    void writepicture(const Timage& image);

    // Sends the collected output to the destination chosen. Raises Eerror
    // naming the file or destination when that fails; a second call and a
    // call after Cancel do nothing.
    void deliver();
    // deliver, with a failure shown through reporterror; false then.
    bool deliverorreport();

    // The printer the output goes to; tests point it at a PDF file and mark
    // it set up, so no print dialog appears.
    QPrinter* printer();
    void setprintersetup(bool done) { printersetup_ = done; }

    QRadioButton* DestinationButtons[6] = {}; // 1..5 used
    QPushButton* SetupButton = nullptr;
    QLineEdit* FileEdit = nullptr;
    QPushButton* BrowseButton = nullptr;
    QCheckBox* AppendCheckBox = nullptr;
    QPushButton* OptionsButton = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The window's event handlers, public so tests can drive them directly.
    void DestinationClick(int which);
    void SetupButtonClick();
    void BrowseButtonClick();
    void OptionsButtonClick();
    void FileEditChange();
    void OKButtonClick();
    // Shows the options window, then applies its values when showoptions
    // returns true; tests replace showoptions to answer without a window.
    std::function<bool(TOutputOptionsForm&)> showoptions;
    void applyoptions(const TOutputOptionsForm& options);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updatecontrols();
    bool prepare();
    void checktext() const;
    void checkpicture() const;
    void abandon();
    void delivertext();
    void deliverpicture();
    void printtext(const QString& text);
    void printdocument();
    void printpicture(const QImage& image);
    void savepicture(const QImage& image, const QString& path);
    void tospreadsheet(const std::vector<std::string>* lines, const QImage* image);
    std::vector<std::string> collectedlines() const;
    // Tab-delimited text to the printer or the preview goes there laid out.
    bool laidout() const;

    Tprograminfo program_;
    bool graphics_;
    bool prepared_ = false;
    bool abandoned_ = false;
    bool delivered_ = false;
    bool cursorset_ = false;
    bool printersetup_ = false;
    std::unique_ptr<QPrinter> printer_;
    // Text output goes here: a part file beside the target for a file,
    // memory for the other destinations.
    std::unique_ptr<std::ofstream> file_;
    std::ostream* out_ = nullptr;
    std::string partfile_;
    std::string target_;
    std::ostringstream memory_;
    Tprintdocument document_;
    QImage picture_;
    std::vector<QPicture> strokes_;
    bool haspicture_ = false;
};

} // namespace velmora
