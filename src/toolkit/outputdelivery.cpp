// What the output window does with what it was given: collecting text and
// pictures, and handing them to the printer, the clipboard, a file, the
// preview window or the spreadsheet workbook when the caller delivers.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSvgGenerator>
#include <QTextDocument>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "numeric/errors.h"
#include "toolkit/jpegimage.h"
#include "toolkit/output/outputworkbook.h"
#include "toolkit/output/textwriter.h"
#include "toolkit/outputform.h"
#include "toolkit/plot.h"
#include "toolkit/progressform.h"
#include "toolkit/smallforms.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) throw Eerror(std::string("Cannot make a ") + format + " picture");
    return bytes;
}

// Draws the strokes of a picture one unit to one of its pixels. A stroke
// replays scaled by the device's resolution over the one it was recorded
// at (a 96 dpi screen's); that scaling is undone here.
void drawstrokes(QPainter& painter, const std::vector<QPicture>& strokes) {
    if (strokes.empty()) return;
    QPaintDevice* device = painter.device();
    const double fx = double(device->logicalDpiX()) / strokes.front().logicalDpiX();
    const double fy = double(device->logicalDpiY()) / strokes.front().logicalDpiY();
    painter.save();
    painter.scale(1 / fx, 1 / fy);
    for (const QPicture& stroke : strokes)
        painter.drawPicture(0, 0, stroke);
    painter.restore();
}

// The picture as an SVG drawing: its strokes as vectors (lines, circles,
// text), or the pixels for a picture that has none.
QByteArray svgof(const QImage& image, const std::vector<QPicture>& strokes, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(image.size());
    svg.setViewBox(QRect(QPoint(0, 0), image.size()));
    svg.setTitle(title);
    QPainter painter;
    if (!painter.begin(&svg)) throw Eerror("Cannot make an SVG picture");
    if (strokes.empty())
        painter.drawImage(0, 0, image);
    else
        drawstrokes(painter, strokes);
    painter.end();
    return bytes;
}

// Restores the normal cursor when delivery ends, however it ends.
struct Tcursorguard {
    bool& set;
    ~Tcursorguard() {
        if (set) QApplication::restoreOverrideCursor();
        set = false;
    }
};

} // namespace

void TOutputForm::checktext() const {
    if (graphics_) throw EInvalidArgument("Invalid output style");
}

void TOutputForm::checkpicture() const {
    if (!graphics_) throw EInvalidArgument("Invalid output style");
}

bool TOutputForm::laidout() const {
    return !graphics_ && style == styletab &&
           (destination == destinationprinter || destination == destinationpreview);
}

void TOutputForm::writeline(const std::string& text) {
    checktext();
    if (!out_) return;
    velmora::writeline(*out_, style, text);
    if (laidout()) document_.addline(text);
}

void TOutputForm::writememo(const QStringList& lines) {
    checktext();
    for (const QString& line : lines) writeline(line.toStdString());
}

void TOutputForm::writeblank() {
    checktext();
    if (!out_) return;
    velmora::writeblank(*out_, style);
    if (laidout()) document_.addline({});
}

bool TOutputForm::writegrid(const Tcelltable& table) {
    checktext();
    if (!out_) return false;
    const int number = ++program_.output().outputcounter;
    const std::int64_t cells = std::int64_t(table.rows()) * table.cols();
    const bool inmemory = destination == destinationclipboard || destination == destinationpreview ||
                          destination == destinationspreadsheet;
    if (inmemory && cells > largecells &&
        !confirm(QStringLiteral("The table has %L1 cells, which may take long and much memory "
                                "here. Go on?")
                     .arg(cells))) {
        abandon();
        return false;
    }
    std::unique_ptr<TProgressForm> progress;
    Toutputprogress step;
    if (cells > progresscells) {
        progress = std::make_unique<TProgressForm>(this, program_);
        progress->setmaintext(QStringLiteral("Writing the table"));
        progress->showcancel();
        progress->show();
        const int lines = transposed ? table.cols() : table.rows();
        progress->startbar(lines);
        step = [&progress](std::int64_t, std::int64_t) {
            progress->stepbar();
            return !progress->cancelled();
        };
    }
    const Ttableoptions options{skipfixed, quoting, transposed, fullprecision};
    if (!laidout()) {
        const bool done = velmora::writegrid(*out_, style, table, number, options, special, step);
        if (!done) abandon();
        return done;
    }
    std::ostringstream tabs;
    if (!velmora::writegrid(tabs, style, table, number, options, special, step)) {
        abandon();
        return false;
    }
    *out_ << tabs.str();
    // The heading lines and items the table was written with.
    const int headrows = skipfixed ? 0 : (transposed ? table.fixedcols() : table.fixedrows());
    const int headcols = skipfixed ? 0 : (transposed ? table.fixedrows() : table.fixedcols());
    document_.addtable(tabs.str(), headrows, headcols);
    return true;
}

void TOutputForm::writepicture(const Timage& image) {
    writepicture(image.picture());
    // Black and white is for bitmaps; the vectors keep their colours.
    if (haspicture_) strokes_ = image.strokes();
}

void TOutputForm::writepicture(const QImage& image) {
    checkpicture();
    if (!prepared_ || abandoned_) return;
    strokes_.clear();
    // Black and white works on a copy; the caller's picture stays as it is.
    picture_ = blackandwhite
                   ? image.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither)
                         .convertToFormat(QImage::Format_RGB32)
                   : image.copy();
    haspicture_ = true;
}

bool TOutputForm::deliverorreport() {
    try {
        deliver();
        return true;
    } catch (const std::exception& e) {
        reporterror(QString::fromStdString(e.what()));
        return false;
    }
}

void TOutputForm::deliver() {
    if (!prepared_ || abandoned_ || delivered_) return;
    delivered_ = true;
    Tcursorguard cursor{cursorset_};
    try {
        if (graphics_)
            deliverpicture();
        else
            delivertext();
    } catch (...) {
        abandon();
        throw;
    }
}

std::vector<std::string> TOutputForm::collectedlines() const {
    std::vector<std::string> lines;
    std::istringstream in(memory_.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void TOutputForm::delivertext() {
    switch (destination) {
    case destinationfile: {
        *file_ << documenttail(style);
        file_->flush();
        const bool written = file_->good();
        const int error = errno;
        file_->close();
        const std::string part = partfile_;
        if (!written || file_->fail()) {
            file_.reset();
            throw Eerror("Cannot write the file " + target_ + ": " + std::strerror(error));
        }
        file_.reset();
        out_ = nullptr;
        if (std::rename(part.c_str(), target_.c_str()) != 0)
            throw Eerror("Cannot write the file " + target_ + ": " + std::strerror(errno));
        partfile_.clear();
        break;
    }
    case destinationprinter:
        if (laidout())
            printdocument();
        else
            printtext(qs(memory_.str()));
        break;
    case destinationclipboard: QApplication::clipboard()->setText(qs(memory_.str())); break;
    case destinationpreview: {
        TMemoForm preview(program_, this);
        preview.setWindowTitle(qs(program_.caption("Preview window")));
        preview.Memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        preview.Memo->setPlainText(qs(laidout() ? document_.aligned() : memory_.str()));
        preview.PrintButton->hide();
        // Room for a few aligned columns, not the memo's small default.
        preview.resize(760, 640);
        preview.exec();
        break;
    }
    case destinationspreadsheet: {
        const std::vector<std::string> lines = collectedlines();
        tospreadsheet(&lines, nullptr);
        break;
    }
    default: break;
    }
}

void TOutputForm::deliverpicture() {
    if (!haspicture_) return;
    switch (destination) {
    case destinationfile: savepicture(picture_, qs(target_)); break;
    case destinationprinter: printpicture(picture_); break;
    case destinationclipboard: {
        auto* data = new QMimeData;
        data->setImageData(picture_);
        if (style == picturejpeg) data->setData(QStringLiteral("image/jpeg"), jpegencode(picture_));
        if (style == picturesvg)
            data->setData(QStringLiteral("image/svg+xml"),
                          svgof(picture_, strokes_, qs(program_.name())));
        QApplication::clipboard()->setMimeData(data);
        break;
    }
    case destinationpreview: {
        TPlotForm preview(program_, this);
        preview.setWindowTitle(qs(program_.caption("Preview window")));
        preview.Image->setpicture(picture_);
        preview.PrintButton->hide();
        // Room for a few aligned columns, not the memo's small default.
        preview.resize(760, 640);
        preview.exec();
        break;
    }
    case destinationspreadsheet: tospreadsheet(nullptr, &picture_); break;
    default: break;
    }
}

void TOutputForm::savepicture(const QImage& image, const QString& path) {
    QByteArray bytes;
    switch (style) {
    case picturejpeg: bytes = jpegencode(image); break;
    case picturepng: bytes = encoded(image, "PNG"); break;
    case picturesvg: bytes = svgof(image, strokes_, qs(program_.name())); break;
    default: bytes = encoded(image, "BMP"); break;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Eerror("Cannot write the file " + path.toStdString() + ": " +
                     file.errorString().toStdString());
}

void TOutputForm::printdocument() {
    document_.print(*printer());
    if (printer()->printerState() == QPrinter::Error)
        throw Eerror("Cannot print to " + printer()->printerName().toStdString() +
                     printer()->outputFileName().toStdString());
}

// Text pages in the system's fixed-width font; the document breaks pages
// and numbers them.
void TOutputForm::printtext(const QString& text) {
    QTextDocument document;
    document.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    document.setPlainText(text);
    document.print(printer());
    if (printer()->printerState() == QPrinter::Error)
        throw Eerror("Cannot print to " + printer()->printerName().toStdString() +
                     printer()->outputFileName().toStdString());
}

// One page: the picture 76 % of the page wide from 12 % in, below a top
// margin of five lines of 12-point text, in its own proportion.
void TOutputForm::printpicture(const QImage& image) {
    QPainter painter;
    if (!painter.begin(printer()))
        throw Eerror("Cannot print to " + printer()->printerName().toStdString() +
                     printer()->outputFileName().toStdString());
    QFont font(QStringLiteral("Arial"), 12);
    painter.setFont(font);
    const int top = 5 * painter.fontMetrics().height();
    const int width = painter.viewport().width();
    const int left = width * 12 / 100;
    const int picturewidth = width * 76 / 100;
    const int height = image.width() > 0 ? picturewidth * image.height() / image.width() : 0;
    if (strokes_.empty() || image.width() <= 0) {
        painter.drawImage(QRect(left, top, picturewidth, height), image);
    } else {
        // Vectors print sharp at the printer's resolution.
        painter.translate(left, top);
        painter.scale(double(picturewidth) / image.width(), double(picturewidth) / image.width());
        painter.setClipRect(image.rect());
        drawstrokes(painter, strokes_);
    }
    painter.end();
}

// One workbook per program run, one sheet per output; the workbook is
// written again after each output and opened on the desktop the first time.
// It goes to the user's documents folder (the home folder when there is
// none), never to a temporary one that the system empties, and the user is
// told the file and the sheet each time.
namespace {

QString spreadsheetfolder(const std::string& chosen) {
    QString folder = QString::fromStdString(chosen);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    }
    return folder;
}

} // namespace

void TOutputForm::tospreadsheet(const std::vector<std::string>* lines, const QImage* image) {
    Toutputstate& state = program_.output();
    if (!state.workbook) {
        const QString name = qs(program_.name()) + QStringLiteral(" output ") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")) +
                             QStringLiteral(".xlsx");
        state.workbook = std::make_shared<Toutputworkbook>(
            QDir(spreadsheetfolder(state.workbookfolder)).filePath(name).toStdString());
    }
    const std::string sheet = program_.name() + std::to_string(++state.spreadsheetoutputcounter);
    if (lines) state.workbook->addtext(sheet, *lines);
    if (image) {
        const QByteArray png = encoded(*image, "PNG");
        state.workbook->addpicture(sheet, std::vector<unsigned char>(png.begin(), png.end()));
    }
    state.workbook->write();
    const QString path = QDir::toNativeSeparators(qs(state.workbook->path()));
    const QString where =
        QStringLiteral("The output is sheet %1 of the workbook %2").arg(qs(sheet), path);
    if (!state.workbookopened) {
        state.workbookopened = true;
        if (!openfile(qs(state.workbook->path()))) {
            reportwarning(where + QStringLiteral(
                                      ".\nThe desktop's default application could not open it."));
            return;
        }
    }
    reportnote(where + QStringLiteral("."));
}

} // namespace velmora
