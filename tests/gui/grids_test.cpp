// The program's grid: row sorting (orders, markers, Cancel), the layout
// rules, hit testing and the striped drawing.
#include <QCursor>
#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "numeric/errors.h"
#include "numeric/uiservice.h"
#include "toolkit/grid.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

// A grid with a heading row ("Region", "Value", "Name") and one row per
// value, headed "R1", "R2", ...
Tstringtable column(const std::vector<std::string>& values) {
    Tstringtable table(3, static_cast<int>(values.size()) + 1);
    table.setcell(0, 0, "Region");
    table.setcell(1, 0, "Value");
    table.setcell(2, 0, "Name");
    for (std::size_t k = 0; k < values.size(); ++k) {
        const int r = static_cast<int>(k) + 1;
        table.setcell(0, r, "R" + std::to_string(r));
        table.setcell(1, r, values[k]);
        table.setcell(2, r, "n" + std::to_string(r));
    }
    return table;
}

std::vector<std::string> shown(const Tcelltable& table, int c) {
    std::vector<std::string> texts;
    for (int r = table.fixedrows(); r < table.rows(); ++r)
        texts.push_back(table.cell(c, r));
    return texts;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(sortgrid, NumbersAsNumbersTextsAsTexts) {
    Trecorderui ui;
    Tgrid grid;
    grid.settable(column({"10", "abc", "2"}));
    sortgrid(&grid, 1, sortnumeric, ui);
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"abc", "2", "10"}));
    // Whole rows move: the row headings and the other columns go along.
    EXPECT_EQ(shown(grid.table(), 0), (Texts{"R2", "R3", "R1"}));
    EXPECT_EQ(shown(grid.table(), 2), (Texts{"n2", "n3", "n1"}));
    sortgrid(&grid, 1, 0, ui);
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"10", "2", "abc"}));
    EXPECT_EQ(ui.progresswindows, 2);
    EXPECT_EQ(ui.progresstexts.front(), "Sorting rows");
}

TEST(sortgrid, InfinityIsLargestAndMissingValuesComeLastEitherWay) {
    Trecorderui ui;
    Tgrid grid;
    grid.settable(column({"?", "3", "inf", "-", "-5", "", "0.5"}));
    sortgrid(&grid, 1, sortnumeric, ui);
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"-5", "0.5", "3", "inf", "?", "-", ""}));
    sortgrid(&grid, 1, sortnumeric | sortdescending, ui);
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"inf", "3", "0.5", "-5", "?", "-", ""}));
    sortgrid(&grid, 1, sortnumeric | sortabsolute, ui);
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"0.5", "3", "-5", "inf", "?", "-", ""}));
    // The settings' own texts are the ones recognised.
    grid.settable(column({"unbounded", "n/a", "7"}));
    sortgrid(&grid, 1, sortnumeric | sortdescending, ui, Tspecialtexts{"unbounded", "n/a", "x"});
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"unbounded", "7", "n/a"}));
}

TEST(sortgrid, CaseInsensitiveOnlyWhenAsked) {
    Trecorderui ui;
    Tgrid grid;
    grid.settable(column({"beta", "Alpha", "alpha2", "Beta0"}));
    sortgrid(&grid, 1, 0, ui);
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"Alpha", "Beta0", "alpha2", "beta"}));
    sortgrid(&grid, 1, sortnocase, ui);
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"Alpha", "alpha2", "beta", "Beta0"}));
}

TEST(sortgrid, OneMarkerOnTheLastSortedColumn) {
    Trecorderui ui;
    Tgrid grid;
    grid.settable(column({"3", "1", "2"}));
    sortgrid(&grid, 1, sortnumeric, ui);
    EXPECT_EQ(grid.table().columnheading(1), "Value (v)");
    sortgrid(&grid, 1, sortnumeric | sortdescending, ui);
    EXPECT_EQ(grid.table().columnheading(1), "Value (^)");
    EXPECT_EQ(grid.table().columnheading(2), "Name");
    sortgrid(&grid, 2, 0, ui);
    EXPECT_EQ(grid.table().columnheading(1), "Value");
    EXPECT_EQ(grid.table().columnheading(2), "Name (v)");
    // A heading that came with a marker of its own loses it too.
    Tstringtable table = column({"1", "2"});
    table.setcell(2, 0, "Name (^)");
    grid.settable(std::move(table));
    sortgrid(&grid, 1, sortnumeric, ui);
    EXPECT_EQ(grid.table().columnheading(2), "Name");
    EXPECT_EQ(grid.table().columnheading(1), "Value (v)");
}

TEST(sortgrid, CancelLeavesRowsPartlySortedAndMarked) {
    Trecorderui ui;
    ui.cancelafterpolls = 1; // the second pass is cancelled
    Tgrid grid;
    grid.settable(column({"8", "7", "6", "5", "4", "3", "2", "1"}));
    sortgrid(&grid, 1, sortnumeric, ui);
    // One pass orders neighbouring pairs, no more.
    EXPECT_EQ(shown(grid.table(), 1), (Texts{"7", "8", "5", "6", "3", "4", "1", "2"}));
    EXPECT_EQ(grid.table().columnheading(1), "Value (v)");
    EXPECT_EQ(ui.openprogress, 0);
}

TEST(sortgrid, IndexOutsideTheGridIsARangeError) {
    Trecorderui ui;
    Tgrid grid;
    grid.settable(column({"1", "2"}));
    EXPECT_THROW(sortgrid(&grid, 3, 0, ui), ERangeError);
    EXPECT_THROW(sortgrid(&grid, -1, 0, ui), ERangeError);
    EXPECT_THROW(sortgrid(&grid, 3, sortcolumns, ui), ERangeError);
    EXPECT_EQ(ui.progresswindows, 0);
}

TEST(sortgrid, ColumnsByARowKeepTheirHeadings) {
    Trecorderui ui;
    Tgrid grid;
    Tstringtable table(4, 2);
    for (int c = 0; c < 4; ++c)
        table.setcell(c, 0, "h" + std::to_string(c));
    table.setcell(1, 1, "30");
    table.setcell(2, 1, "10");
    table.setcell(3, 1, "20");
    grid.settable(std::move(table));
    sortgrid(&grid, 1, sortnumeric | sortcolumns, ui);
    EXPECT_EQ(grid.table().cell(1, 0), "h2");
    EXPECT_EQ(grid.table().cell(2, 0), "h3");
    EXPECT_EQ(grid.table().cell(3, 1), "30");
    // Column sorts set no marker.
    EXPECT_EQ(grid.table().cell(3, 0), "h1");
}

TEST(sortgrid, ASortOfAComputedTableReadsThroughTheOrder) {
    // A sort after a sort orders what is shown, not the table beneath.
    Trecorderui ui;
    Tgrid grid;
    auto table = std::make_shared<Tcomputedtable>(
        4, 2, [](std::uint32_t i, std::uint32_t j) { return std::to_string(j == 1 ? i % 2 : 5 - i); });
    table->colheadings = {"odd", "down"};
    grid.settable(table);
    sortgrid(&grid, 2, sortnumeric, ui); // rows 4, 3, 2, 1
    sortgrid(&grid, 1, sortnumeric, ui); // evens first, keeping 4 before 2
    EXPECT_EQ(shown(grid.table(), 2), (Texts{"1", "3", "2", "4"}));
}

// The full-precision texts behind rounded ones follow their rows through a
// sort; a cell written again without one reads as shown.
TEST(sortgrid, FullPrecisionTextsFollowTheirRows) {
    Tstringtable table = column({"3", "1", "2"});
    table.setcell(1, 1, "3", "3.00000012");
    table.setcell(1, 2, "1", "0.999999881");
    Trecorderui ui;
    Tgrid grid;
    grid.settable(std::move(table));
    sortgrid(&grid, 1, sortnumeric, ui);
    const Tcelltable& shown = grid.table();
    EXPECT_EQ(shown.fullcell(1, 1), "0.999999881");
    EXPECT_EQ(shown.fullcell(1, 2), "2");
    EXPECT_EQ(shown.fullcell(1, 3), "3.00000012");
    EXPECT_EQ(shown.fullcell(1, 0), "Value (v)"); // headings as shown
    Tstringtable again = column({"3"});
    again.setcell(1, 1, "3", "3.00000012");
    again.setcell(1, 1, "4");
    EXPECT_EQ(again.fullcell(1, 1), "4");
}

TEST(gridlayout, FixedCellsFollowTheShape) {
    Tgrid grid;
    grid.settable(Tstringtable(1, 1));
    gridlayout(&grid);
    EXPECT_FALSE(grid.isEnabled());
    EXPECT_EQ(grid.table().fixedrows(), 0);
    EXPECT_EQ(grid.table().fixedcols(), 0);

    grid.settable(Tstringtable(3, 1));
    gridlayout(&grid);
    EXPECT_TRUE(grid.isEnabled());
    EXPECT_EQ(grid.table().fixedrows(), 0);
    EXPECT_EQ(grid.table().fixedcols(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 1);

    grid.settable(Tstringtable(1, 3));
    gridlayout(&grid);
    EXPECT_EQ(grid.table().fixedrows(), 1);
    EXPECT_EQ(grid.table().fixedcols(), 0);

    grid.settable(Tstringtable(3, 3));
    gridlayout(&grid, 2 | 4);
    EXPECT_EQ(grid.table().fixedrows(), 0);
    EXPECT_EQ(grid.table().fixedcols(), 0);
    EXPECT_EQ(grid.model()->rowCount(), 3);
}

TEST(gridlayout, ColumnsSizedToTheirTextUpTo250Pixels) {
    Tgrid grid;
    Tstringtable table(3, 3);
    table.setcell(1, 1, std::string(200, 'W'));
    table.setcell(2, 0, "Wide heading");
    table.setcell(2, 2, "x");
    table.setcell(0, 2, "Netherlands");
    grid.settable(std::move(table));
    gridlayout(&grid, 1);
    const QFontMetrics metrics = grid.fontMetrics();
    EXPECT_EQ(grid.colwidth(1), 250);
    EXPECT_EQ(grid.colwidth(2), metrics.horizontalAdvance(QStringLiteral("Wide heading")) + 4);
    EXPECT_EQ(grid.colwidth(0), metrics.horizontalAdvance(QStringLiteral("Netherlands")) + 4);
}

TEST(grid, MouseAndCellsAgree) {
    Tgrid grid;
    Tstringtable table(5, 6);
    grid.settable(std::move(table));
    grid.resize(500, 300);
    ASSERT_TRUE(showactive(&grid));
    QCursor::setPos(grid.mapToGlobal(grid.cellrect(2, 3).center()));
    EXPECT_EQ(mousecol(&grid), 2);
    EXPECT_EQ(mouserow(&grid), 3);
    QCursor::setPos(grid.mapToGlobal(grid.cellrect(4, 0).center()));
    EXPECT_EQ(mousecol(&grid), 4);
    EXPECT_EQ(mouserow(&grid), 0);
    QCursor::setPos(grid.mapToGlobal(grid.cellrect(0, 5).center()));
    EXPECT_EQ(mousecol(&grid), 0);
    EXPECT_EQ(mouserow(&grid), 5);
    // A double click on a heading reaches the window in grid coordinates.
    int col = -1, row = -1;
    QObject::connect(&grid, &Tgrid::celldoubleclicked, [&](int c, int r) {
        col = c;
        row = r;
    });
    QTest::mouseDClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                       grid.horizontalHeader()->viewport()->mapFrom(
                           &grid, grid.cellrect(3, 0).center()));
    EXPECT_EQ(col, 3);
    EXPECT_EQ(row, 0);
}

TEST(grid, StripesHeadingsAndMarkerAsDrawn) {
    Trecorderui ui;
    Tgrid grid;
    grid.settable(column({"3", "1", "2", "4"}));
    grid.setcolwidth(1, 120);
    grid.setcolwidth(2, 120);
    grid.resize(320, 200);
    sortgrid(&grid, 1, sortnumeric | sortdescending, ui);
    grid.show();
    const QString path = snapshot(&grid, QStringLiteral("grid-stripes"));
    const QImage image = grid.grab().toImage();
    const QPalette palette = grid.palette();
    // A point in each cell clear of its text and frame.
    auto inside = [&](int c, int r) {
        const QRect rect = grid.cellrect(c, r);
        return image.pixelColor(rect.right() - 3, rect.bottom() - 3);
    };
    // Odd data rows must stand out from even ones enough to follow a row by.
    EXPECT_GE(inside(2, 2).lightness() - inside(2, 1).lightness(), 10) << path.toStdString();
    EXPECT_EQ(inside(2, 2), palette.color(QPalette::Base));
    EXPECT_EQ(inside(1, 0), palette.color(QPalette::Button));
    // A heading cut by its column's width reads whole in its tooltip.
    EXPECT_EQ(grid.gridmodel().headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Name"));
    EXPECT_EQ(grid.gridmodel().headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(),
              QStringLiteral("R4"));
    EXPECT_EQ(inside(0, 3), palette.color(QPalette::Button));
    // The heading of the sorted column is wider than its text alone: the
    // marker is drawn, so ink reaches further right than in "Value".
    auto inkright = [&](int c) {
        const QRect rect = grid.cellrect(c, 0);
        int right = -1;
        for (int x = rect.left() + 2; x < rect.right() - 1; ++x)
            for (int y = rect.top() + 2; y < rect.bottom() - 1; ++y)
                if (image.pixelColor(x, y).lightness() < 100) right = x - rect.left();
        return right;
    };
    const int withmarker = inkright(1);
    const QFontMetrics metrics = grid.fontMetrics();
    EXPECT_GT(withmarker, metrics.horizontalAdvance(QStringLiteral("Value")) + 4);
    EXPECT_LT(inkright(2), metrics.horizontalAdvance(QStringLiteral("Name")) + 4);
}
