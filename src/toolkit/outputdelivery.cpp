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

// An SVG file that holds the picture as an embedded PNG: the pictures are
// drawn as pixels, and this way they keep their size in drawing programs
// and documents that take SVG.
QByteArray svgof(const QImage& image) {
    const QByteArray png = encoded(image, "PNG").toBase64();
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                          "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%1\" height=\"%2\" "
                          "viewBox=\"0 0 %1 %2\">\n")
               .arg(image.width())
               .arg(image.height())
               .toUtf8();
    svg += QStringLiteral("<image width=\"%1\" height=\"%2\" xlink:href=\"data:image/png;base64,")
               .arg(image.width())
               .arg(image.height())
               .toUtf8();
    svg += png + "\"/>\n</svg>\n";
    return svg;
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

void TOutputForm::writeline(const std::string& text) {
    checktext();
    if (out_) velmora::writeline(*out_, style, text);
}

void TOutputForm::writememo(const QStringList& lines) {
    checktext();
    for (const QString& line : lines) writeline(line.toStdString());
}

void TOutputForm::writeblank() {
    checktext();
    if (out_) velmora::writeblank(*out_, style);
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
    const bool done = velmora::writegrid(*out_, style, table, number,
                                         {skipfixed, quoting, transposed}, special, step);
    if (!done) abandon();
    return done;
}

void TOutputForm::writepicture(const QImage& image) {
    checkpicture();
    if (!prepared_ || abandoned_) return;
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
    case destinationprinter: printtext(qs(memory_.str())); break;
    case destinationclipboard: QApplication::clipboard()->setText(qs(memory_.str())); break;
    case destinationpreview: {
        TMemoForm preview(program_, this);
        preview.setWindowTitle(qs(program_.caption("Preview window")));
        preview.Memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        preview.Memo->setPlainText(qs(memory_.str()));
        preview.PrintButton->hide();
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
        if (style == picturesvg) data->setData(QStringLiteral("image/svg+xml"), svgof(picture_));
        QApplication::clipboard()->setMimeData(data);
        break;
    }
    case destinationpreview: {
        TPlotForm preview(program_, this);
        preview.setWindowTitle(qs(program_.caption("Preview window")));
        preview.Image->setpicture(picture_);
        preview.PrintButton->hide();
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
    case picturesvg: bytes = svgof(image); break;
    default: bytes = encoded(image, "BMP"); break;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Eerror("Cannot write the file " + path.toStdString() + ": " +
                     file.errorString().toStdString());
}

// Text pages in the system's fixed-width font; the document breaks pages.
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
    painter.drawImage(QRect(left, top, picturewidth, height), image);
    painter.end();
}

// One workbook per program run, one sheet per output; the workbook is
// written again after each output and opened on the desktop the first time.
void TOutputForm::tospreadsheet(const std::vector<std::string>* lines, const QImage* image) {
    Toutputstate& state = program_.output();
    if (!state.workbook) {
        QString folder = qs(state.workbookfolder);
        if (folder.isEmpty()) {
            folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            if (folder.isEmpty() || !QFileInfo(folder).isDir())
                folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
        }
        const QString name = qs(program_.name()) + QStringLiteral(" output ") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")) +
                             QStringLiteral(".xlsx");
        state.workbook = std::make_shared<Toutputworkbook>(QDir(folder).filePath(name).toStdString());
    }
    const std::string sheet = program_.name() + std::to_string(++state.spreadsheetoutputcounter);
    if (lines) state.workbook->addtext(sheet, *lines);
    if (image) {
        const QByteArray png = encoded(*image, "PNG");
        state.workbook->addpicture(sheet, std::vector<unsigned char>(png.begin(), png.end()));
    }
    state.workbook->write();
    if (!state.workbookopened) {
        state.workbookopened = true;
        const QString path = qs(state.workbook->path());
        if (!openfile(path))
            reportwarning(QStringLiteral("Cannot open the workbook %1 with the desktop's default "
                                         "application")
                              .arg(path));
    }
}

} // namespace velmora
