// Output laid out for reading: tables on paper and in the preview in
// aligned columns, their headings repeated on every page, wide tables split
// by columns, numbered pages; pictures as vector drawings.
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "support/testsupport.h"
#include "toolkit/outputform.h"
#include "toolkit/plot.h"
#include "toolkit/printdocument.h"
#include "toolkit/smallforms.h"

using namespace velmora;
using velmora::testing::Ttempdir;
using velmora::testing::whenmodal;

namespace {

const Tprograminfo program("/opt/velmora/Velmora");

// The pages of a PDF as text, one string per page, laid out as printed. The
// build installs pdftotext with the other packages the tests need.
QStringList pdfpages(const QString& pdf) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!text.waitForFinished(20000) || text.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext did not run; scripts/install-deps installs poppler-utils";
        return {};
    }
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QChar('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// Rows of "Region k" with values, under "Region" and the column headings.
std::string tabtable(int rows, int cols) {
    std::string text = "Region";
    for (int c = 1; c <= cols; ++c)
        text += "\tParameter_" + std::to_string(c) + " (kg chem*m^-3)";
    text += '\n';
    for (int r = 1; r <= rows; ++r) {
        text += r == 1 ? std::string("Arabian Sea") : "Region " + std::to_string(r);
        for (int c = 1; c <= cols; ++c)
            text += '\t' + std::to_string(r) + "." + std::to_string(c) + "E-12";
        text += '\n';
    }
    return text;
}

// Two regions' air concentrations, the first with a full-precision text.
Tstringtable twoseas() {
    Tstringtable table(2, 3);
    table.setcell(0, 0, "Region");
    table.setcell(1, 0, "C_air (kg chem*m^-3)");
    table.setcell(0, 1, "Arabian Sea");
    table.setcell(1, 1, "1.01E-12", "1.00999996E-12");
    table.setcell(0, 2, "Chad");
    table.setcell(1, 2, "5");
    return table;
}

int printed(const Tprintdocument& document, const QString& pdf) {
    QPdfWriter writer(pdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    return document.print(writer);
}

} // namespace

TEST(PrintDocument, PreviewAlignsColumnsAndNumbersToTheRight) {
    Tprintdocument document;
    document.addline("Substance = Nitrobenzene");
    document.addtable("Region\tC_air (kg chem*m^-3)\nArabian Sea\t1.01E-12\nChad\t5\n", 1, 1);
    EXPECT_EQ(document.aligned(), "Substance = Nitrobenzene\n"
                                  "Region       C_air (kg chem*m^-3)\n"
                                  "---------------------------------\n"
                                  "Arabian Sea              1.01E-12\n"
                                  "Chad                            5\n");
}

// A long table: every page has its page number and the heading row; the
// names stay apart from their values.
TEST(PrintDocument, LongTablesRepeatTheHeadingOnEveryNumberedPage) {
    Ttempdir dir;
    const QString pdf = QString::fromStdString(dir.file("long.pdf"));
    Tprintdocument document;
    document.addline("Environment = ENVDATA2part1.xlsx; ENVDATA2part2.xlsx");
    document.addline({});
    document.addtable(tabtable(150, 3), 1, 1);
    const int pages = printed(document, pdf);
    ASSERT_GE(pages, 3);
    const QStringList text = pdfpages(pdf);
    ASSERT_EQ(text.size(), pages);
    for (int p = 0; p < pages; ++p) {
        EXPECT_TRUE(text[p].contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages))) << p;
        EXPECT_TRUE(text[p].contains(QStringLiteral("Parameter_3 (kg chem*m^-3)"))) << p;
    }
    EXPECT_TRUE(text[0].contains(QStringLiteral("Environment = ENVDATA2part1.xlsx")));
    EXPECT_FALSE(text[0].contains(QStringLiteral("Arabian Sea1.1E-12")));
    EXPECT_TRUE(text[0].contains(QRegularExpression(QStringLiteral("Arabian Sea +1\\.1E-12"))));
    EXPECT_TRUE(text.back().contains(QStringLiteral("Region 150")));
}

// A table wider than the page goes on in further pages of columns, each
// with the region names again.
TEST(PrintDocument, WideTablesAreSplitByColumns) {
    Ttempdir dir;
    const QString pdf = QString::fromStdString(dir.file("wide.pdf"));
    Tprintdocument document;
    document.addtable(tabtable(5, 30), 1, 1);
    const int pages = printed(document, pdf);
    ASSERT_GE(pages, 2);
    const QStringList text = pdfpages(pdf);
    ASSERT_EQ(text.size(), pages);
    for (const QString& page : text)
        EXPECT_TRUE(page.contains(QStringLiteral("Region 5")));
    EXPECT_TRUE(text.front().contains(QStringLiteral("Parameter_1 (")));
    EXPECT_FALSE(text.front().contains(QStringLiteral("Parameter_30 (")));
    EXPECT_TRUE(text.back().contains(QStringLiteral("Parameter_30 (")));
    EXPECT_TRUE(text.back().contains(QStringLiteral("5.30E-12")));
}

// Through the output window: a tab-delimited table to the printer comes out
// laid out; a Matlab one is printed as the text it is.
TEST(PrintDocument, TheOutputWindowLaysOutTablesForThePrinter) {
    Ttempdir dir;
    const QString pdf = QString::fromStdString(dir.file("out.pdf"));
    const Tstringtable table = twoseas();
    TOutputForm form(program, false);
    form.show();
    form.fullprecision = true;
    form.DestinationClick(destinationprinter);
    form.printer()->setOutputFormat(QPrinter::PdfFormat);
    form.printer()->setOutputFileName(pdf);
    form.setprintersetup(true);
    form.OKButtonClick();
    form.writeline("Substance = Nitrobenzene");
    ASSERT_TRUE(form.writegrid(table));
    form.deliver();
    const QStringList text = pdfpages(pdf);
    ASSERT_EQ(text.size(), 1);
    EXPECT_TRUE(text[0].contains(QStringLiteral("Page 1 of 1")));
    EXPECT_TRUE(
        text[0].contains(QRegularExpression(QStringLiteral("Arabian Sea +1\\.00999996E-12"))));
}

// The preview window shows a table in aligned columns, wide enough to read.
TEST(PrintDocument, ThePreviewShowsTablesAligned) {
    TOutputForm form(program, false);
    form.show();
    form.DestinationClick(destinationpreview);
    form.OKButtonClick();
    ASSERT_TRUE(form.writegrid(twoseas()));
    QString text;
    int width = 0;
    whenmodal([&text, &width](QWidget* w) {
        if (auto* memo = qobject_cast<TMemoForm*>(w)) {
            text = memo->Memo->toPlainText();
            width = memo->width();
        }
        w->close();
    });
    form.deliver();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\nArabian Sea +1\\.01E-12\\n"))))
        << text.toStdString();
    EXPECT_GE(width, 760);
}

// A plot written as SVG holds its lines, circles and title as vectors.
TEST(PrintDocument, PlotsAreWrittenAsVectorDrawings) {
    Ttempdir dir;
    const QString file = QString::fromStdString(dir.file("plot.svg"));
    TPlotForm form(program);
    form.show();
    Tplot plot(*form.Image, Tworld{0, 10, 0, 10});
    plot.drawtitle(QStringLiteral("XF*FF"));
    plot.drawline(0, 0, 10, 10);
    plot.drawdotsatpixels({QPoint(20, 20), QPoint(40, 60)});
    TOutputForm output(program, true);
    output.show();
    output.style = picturesvg;
    output.DestinationClick(destinationfile);
    output.FileEdit->setText(file);
    output.OKButtonClick();
    output.writepicture(*form.Image);
    output.deliver();
    QFile svg(file);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    EXPECT_FALSE(text.contains(QStringLiteral("<image")));
    EXPECT_TRUE(text.contains(QStringLiteral("XF*FF")));
    EXPECT_EQ(text.count(QStringLiteral("<circle")), 2) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("points=\"0,400 400,0 \""))) << "one pixel, one unit";
    EXPECT_EQ(text.count(QStringLiteral("matrix(0.75")), 0) << "drawn at another scale";
}
