// The output window: what its controls allow, and what reaches the file,
// the clipboard, the printer (as PDF) and the spreadsheet workbook.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "numeric/errors.h"
#include "numeric/uiservice.h"
#include "toolkit/celltable.h"
#include "toolkit/output/outputworkbook.h"
#include "toolkit/output/textwriter.h"
#include "toolkit/outputform.h"
#include "toolkit/sheets/excelfile.h"
#include "toolkit/smallforms.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

// A folder of its own per test, emptied first.
QString folder(const QString& name) {
    QDir dir(QDir::temp().filePath(QStringLiteral("velmora-output-test/") + name));
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    return dir.path();
}

QByteArray readall(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeall(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

Tstringtable resultstable(int regions) {
    Tstringtable table(3, regions + 1);
    table.setcell(0, 0, "Region");
    table.setcell(1, 0, "Austria_air");
    table.setcell(2, 0, "Côte d'Ivoire_sea water");
    for (int r = 1; r <= regions; ++r) {
        table.setcell(0, r, r == 1 ? "Côte d'Ivoire" : "Region " + std::to_string(r));
        table.setcell(1, r, std::to_string(r) + ".5e-05");
        table.setcell(2, r, r % 3 == 0 ? "?" : std::to_string(r * 7));
    }
    return table;
}

// A form whose messages are recorded instead of shown.
struct Toutputtest {
    Tprograminfo program{"/opt/velmora/Velmora"};
    QStringList errors, warnings, notes, opened;
    std::unique_ptr<TOutputForm> form;
    TOutputForm& make(bool graphics) {
        form = std::make_unique<TOutputForm>(program, graphics);
        form->reporterror = [this](const QString& text) { errors << text; };
        form->reportwarning = [this](const QString& text) { warnings << text; };
        form->reportnote = [this](const QString& text) { notes << text; };
        form->openfile = [this](const QString& path) {
            opened << path;
            return false;
        };
        return *form;
    }
};

} // namespace

TEST(OutputForm, OkWaitsForADestinationAndSetupIsForThePrinter) {
    Toutputtest t;
    TOutputForm& form = t.make(false);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora - Output"));
    EXPECT_FALSE(form.OKButton->isEnabled());
    EXPECT_FALSE(form.SetupButton->isEnabled());
    EXPECT_TRUE(form.FileEdit->text().endsWith(QStringLiteral("/output.txt")));
    form.DestinationButtons[destinationprinter]->click();
    EXPECT_EQ(form.destination, destinationprinter);
    EXPECT_TRUE(form.OKButton->isEnabled());
    EXPECT_TRUE(form.SetupButton->isEnabled());
    EXPECT_FALSE(form.FileEdit->isEnabled());
    form.DestinationButtons[destinationfile]->click();
    EXPECT_FALSE(form.SetupButton->isEnabled());
    EXPECT_TRUE(form.FileEdit->isEnabled());
    EXPECT_TRUE(form.BrowseButton->isEnabled());
    EXPECT_EQ(form.DestinationButtons[destinationspreadsheet]->text(), QStringLiteral("Sp&readsheet"));
    EXPECT_FALSE(snapshot(&form, QStringLiteral("outputform")).isEmpty());
}

TEST(OutputForm, AppendFollowsTheFileAndIsRemembered) {
    Toutputtest t;
    const QString dir = folder(QStringLiteral("append"));
    const QString existing = dir + QStringLiteral("/old.txt");
    writeall(existing, "old\n");
    TOutputForm& form = t.make(false);
    form.show();
    form.DestinationClick(destinationfile);
    form.FileEdit->setText(existing);
    EXPECT_TRUE(form.AppendCheckBox->isEnabled());
    EXPECT_FALSE(form.AppendCheckBox->isChecked());
    form.AppendCheckBox->click();
    EXPECT_TRUE(form.appendchosen);
    form.FileEdit->setText(dir + QStringLiteral("/new.txt"));
    EXPECT_FALSE(form.AppendCheckBox->isEnabled());
    EXPECT_FALSE(form.AppendCheckBox->isChecked());
    form.FileEdit->setText(existing);
    EXPECT_TRUE(form.AppendCheckBox->isChecked());

    form.OKButtonClick();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    form.writeline("new line");
    form.deliver();
    EXPECT_EQ(readall(existing), QByteArray("old\nnew line\n"));
    EXPECT_TRUE(t.errors.isEmpty());
}

TEST(OutputForm, OptionsShowOnlyTheGroupThatApplies) {
    const Tprograminfo program("/opt/velmora/Velmora");
    TOutputOptionsForm text(program, false);
    text.show();
    EXPECT_EQ(text.windowTitle(), QStringLiteral("Velmora - Output options"));
    EXPECT_TRUE(text.TablesGroupBox->isVisible());
    EXPECT_FALSE(text.GraphsGroupBox->isVisible());
    EXPECT_EQ(text.FormatComboBox->itemText(0), QStringLiteral("Tab-delimited ASCII"));
    EXPECT_EQ(text.CellValuesComboBox->itemText(2), QStringLiteral("Within quotes (like \"37\")"));
    EXPECT_FALSE(snapshot(&text, QStringLiteral("outputoptions-text")).isEmpty());
    TOutputOptionsForm picture(program, true);
    picture.show();
    EXPECT_FALSE(picture.TablesGroupBox->isVisible());
    EXPECT_TRUE(picture.GraphsGroupBox->isVisible());
    EXPECT_EQ(picture.FormatComboBox->count(), 4);
    EXPECT_EQ(picture.FormatComboBox->itemText(1), QStringLiteral("JPEG"));
}

TEST(OutputForm, ChangedFormatRewritesTheExtension) {
    Toutputtest t;
    TOutputForm& form = t.make(false);
    form.show();
    form.FileEdit->setText(QStringLiteral("/data/run.v2/results.txt"));
    form.showoptions = [](TOutputOptionsForm& options) {
        EXPECT_EQ(options.FormatComboBox->currentIndex(), 0);
        options.FormatComboBox->setCurrentIndex(stylematlab);
        options.TransposedCheckBox->setChecked(true);
        return true;
    };
    form.OptionsButtonClick();
    EXPECT_EQ(form.FileEdit->text(), QStringLiteral("/data/run.v2/results.m"));
    EXPECT_EQ(form.style, stylematlab);
    EXPECT_TRUE(form.transposed);
    // Cancel in the options window changes nothing.
    form.showoptions = [](TOutputOptionsForm& options) {
        options.FormatComboBox->setCurrentIndex(styletex);
        return false;
    };
    form.OptionsButtonClick();
    EXPECT_EQ(form.FileEdit->text(), QStringLiteral("/data/run.v2/results.m"));
    EXPECT_EQ(outputfilter(true, picturejpeg), QStringLiteral("JPEG files (*.jpg);;All files (*)"));
}

TEST(OutputForm, CancelTouchesNoFile) {
    Toutputtest t;
    const QString path = folder(QStringLiteral("cancel")) + QStringLiteral("/kept.txt");
    writeall(path, "kept\n");
    TOutputForm& form = t.make(false);
    form.show();
    form.DestinationClick(destinationfile);
    form.FileEdit->setText(path);
    form.CancelButton->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    form.writeline("lost");
    EXPECT_FALSE(form.writegrid(resultstable(3)));
    form.deliver();
    EXPECT_EQ(readall(path), QByteArray("kept\n"));
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(OutputForm, UnwritableFileIsAnErrorNamingIt) {
    Toutputtest t;
    const QString blocker = folder(QStringLiteral("unwritable")) + QStringLiteral("/plain-file");
    writeall(blocker, "x");
    const QString path = blocker + QStringLiteral("/out.txt"); // under a file: root cannot either
    TOutputForm& form = t.make(false);
    form.show();
    form.DestinationClick(destinationfile);
    form.FileEdit->setText(path);
    form.OKButtonClick();
    EXPECT_NE(form.result(), QDialog::Accepted);
    ASSERT_EQ(t.errors.size(), 1);
    EXPECT_TRUE(t.errors[0].contains(path)) << t.errors[0].toStdString();
    // A folder's name is refused the same way.
    form.FileEdit->setText(QFileInfo(blocker).path());
    form.OKButtonClick();
    ASSERT_EQ(t.errors.size(), 2);
    EXPECT_TRUE(t.errors[1].contains(QStringLiteral("folder")));

    // Pictures are written at delivery, which raises the error.
    TOutputForm& picture = t.make(true);
    picture.show();
    picture.DestinationClick(destinationfile);
    picture.FileEdit->setText(blocker + QStringLiteral("/out.bmp"));
    picture.OKButtonClick();
    picture.writepicture(QImage(10, 10, QImage::Format_RGB32));
    EXPECT_THROW(picture.deliver(), Eerror);
    // The failure was said once; a second delivery has nothing left to do.
    EXPECT_TRUE(picture.deliverorreport());
    EXPECT_FALSE(QFile::exists(blocker + QStringLiteral("/out.bmp")));
}

TEST(OutputForm, TablesGoToTheFileInTheChosenStyle) {
    Toutputtest t;
    const QString path = folder(QStringLiteral("matlab")) + QStringLiteral("/out.m");
    TOutputForm& form = t.make(false);
    form.show();
    form.DestinationClick(destinationfile);
    form.FileEdit->setText(path);
    form.style = stylematlab;
    form.skipfixed = true;
    form.OKButtonClick();
    form.writeline("Concentrations");
    ASSERT_TRUE(form.writegrid(resultstable(2)));
    EXPECT_FALSE(QFile::exists(path)); // nothing before delivery
    form.deliver();
    const int n = t.program.output().outputcounter;
    EXPECT_EQ(readall(path), QByteArray("%Concentrations\nX") + QByteArray::number(n) +
                                 " = [ 1.5e-05 7;\n  2.5e-05 14]\n");
    EXPECT_THROW(form.writepicture(QImage(2, 2, QImage::Format_RGB32)), EInvalidArgument);
}

TEST(OutputForm, HtmlFileDeclaresUtf8) {
    Toutputtest t;
    const QString path = folder(QStringLiteral("html")) + QStringLiteral("/out.html");
    TOutputForm& form = t.make(false);
    form.show();
    form.DestinationClick(destinationfile);
    form.FileEdit->setText(path);
    form.style = stylehtml;
    form.OKButtonClick();
    form.writegrid(resultstable(1));
    form.deliver();
    const QString html = QString::fromUtf8(readall(path));
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td> Côte d'Ivoire </td>")));
    EXPECT_TRUE(html.endsWith(QStringLiteral("</html>\n")));
}

TEST(OutputForm, ClipboardTakesTabsAndDeclinedLargeTablesLeaveIt) {
    Toutputtest t;
    TOutputForm& form = t.make(false);
    form.show();
    form.DestinationClick(destinationclipboard);
    form.OKButtonClick();
    ASSERT_TRUE(form.writegrid(resultstable(1)));
    form.deliver();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("Region\tAustria_air\tCôte d'Ivoire_sea water\nCôte d'Ivoire\t1.5e-05\t7\n"));

    TOutputForm& large = t.make(false);
    large.show();
    large.largecells = 5;
    int asked = 0;
    large.confirm = [&](const QString&) { return ++asked, false; };
    large.DestinationClick(destinationclipboard);
    large.OKButtonClick();
    EXPECT_FALSE(large.writegrid(resultstable(4)));
    large.deliver();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("Region\t")));
}

TEST(OutputForm, BlackAndWhiteLeavesTheCallersPicture) {
    Toutputtest t;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 30));
    TOutputForm& form = t.make(true);
    form.show();
    form.blackandwhite = true;
    form.DestinationClick(destinationclipboard);
    form.OKButtonClick();
    form.writepicture(picture);
    EXPECT_THROW(form.writeline("x"), EInvalidArgument);
    form.deliver();
    EXPECT_EQ(picture.pixelColor(5, 5), QColor(200, 30, 30));
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    const QColor c = copied.pixelColor(5, 5);
    EXPECT_TRUE(c == Qt::black || c == Qt::white) << c.name().toStdString();
}

TEST(OutputForm, PictureFilesInEveryStyle) {
    Toutputtest t;
    const QString dir = folder(QStringLiteral("pictures"));
    QImage picture(64, 32, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QByteArray starts[] = {"BM", "\xff\xd8\xff", "\x89PNG", "<?xml"};
    for (int style : {picturebitmap, picturejpeg, picturepng, picturesvg}) {
        TOutputForm& form = t.make(true);
        form.show();
        form.style = style;
        form.DestinationClick(destinationfile);
        const QString path = dir + QStringLiteral("/picture") + outputextension(true, style);
        form.FileEdit->setText(path);
        form.OKButtonClick();
        form.writepicture(picture);
        form.deliver();
        const QByteArray bytes = readall(path);
        EXPECT_TRUE(bytes.startsWith(starts[style])) << style;
        if (style != picturesvg) {
            const QImage back = QImage::fromData(bytes);
            EXPECT_EQ(back.size(), picture.size()) << style;
        }
    }
}

TEST(OutputForm, TwoSpreadsheetOutputsGiveTwoSheetsOfOneWorkbook) {
    Toutputtest t;
    t.program.output().workbookfolder = folder(QStringLiteral("workbook")).toStdString();
    for (int run = 1; run <= 2; ++run) {
        TOutputForm& form = t.make(false);
        form.show();
        form.DestinationClick(destinationspreadsheet);
        form.OKButtonClick();
        form.writeline("Run " + std::to_string(run));
        form.writegrid(resultstable(run));
        form.writeline("=1+1");
        form.deliver();
    }
    ASSERT_TRUE(t.program.output().workbook);
    const std::string path = t.program.output().workbook->path();
    // Opened once; the stand-in desktop refused, which is a warning naming
    // it; the second output names its sheet and the file in a note.
    ASSERT_EQ(t.opened.size(), 1);
    ASSERT_EQ(t.warnings.size(), 1);
    EXPECT_TRUE(t.warnings[0].contains(QString::fromStdString(path)));
    EXPECT_TRUE(t.warnings[0].contains(QStringLiteral("sheet Velmora1")));
    ASSERT_EQ(t.notes.size(), 1);
    EXPECT_EQ(t.notes[0], QStringLiteral("The output is sheet Velmora2 of the workbook ") +
                              QString::fromStdString(path) + QStringLiteral("."));
    Trecorderui ui;
    TExcelFile book(ui, path);
    ASSERT_TRUE(book.isopen()) << (ui.warnings.empty() ? "" : ui.warnings[0]);
    EXPECT_EQ(book.sheetnames(), (std::vector<std::string>{"Velmora1", "Velmora2"}));
    book.selectsheet("Velmora2");
    EXPECT_EQ(book.cell(1, 1), "Run 2");
    EXPECT_EQ(book.cell(2, 2), "Austria_air");
    EXPECT_EQ(book.cell(3, 1), "Côte d'Ivoire");
    EXPECT_EQ(book.cell(3, 2), "1.5e-05");
    EXPECT_EQ(book.cell(4, 3), "14");
    EXPECT_EQ(book.cell(5, 1), "=1+1"); // a text, never a formula
}

TEST(OutputForm, ResultsTablePrintsToPdfWithText) {
    Toutputtest t;
    const QString pdf = folder(QStringLiteral("pdf")) + QStringLiteral("/results.pdf");
    TOutputForm& form = t.make(false);
    form.show();
    form.DestinationClick(destinationprinter);
    form.printer()->setOutputFormat(QPrinter::PdfFormat);
    form.printer()->setOutputFileName(pdf);
    form.setprintersetup(true);
    form.OKButtonClick();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    form.writeline("Concentrations of Nitrobenzene");
    form.writeblank();
    ASSERT_TRUE(form.writegrid(resultstable(120))); // more than one page
    form.deliver();
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    // The build installs pdftotext (poppler-utils) with what the tests need.
    ASSERT_TRUE(text.waitForFinished(20000) && text.exitCode() == 0)
        << "pdftotext did not run; scripts/install-deps installs poppler-utils";
    const QString extracted = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(extracted.contains(QStringLiteral("Austria_air")));
    EXPECT_TRUE(extracted.contains(QStringLiteral("Côte d'Ivoire")));
    EXPECT_TRUE(extracted.contains(QStringLiteral("Region 120")));
    EXPECT_GE(extracted.count(QChar('\f')), 2); // page breaks
}

TEST(OutputForm, MemoPrintButtonOpensTheOutputWindow) {
    Tprograminfo program("/opt/velmora/Velmora");
    TMemoForm memo(program);
    memo.addline("first\tline");
    memo.addline("second");
    memo.show();
    bool seen = false;
    whenmodal([&](QWidget* w) {
        auto* output = qobject_cast<TOutputForm*>(w);
        ASSERT_NE(output, nullptr);
        seen = true;
        output->DestinationClick(destinationclipboard);
        output->OKButtonClick();
    });
    memo.PrintButton->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("first\tline\nsecond\n"));
}
