#pragma once
// The program's string grid: a table view over a cell table (celltable.h)
// with at most one fixed heading row and one fixed heading column, drawn in
// the program's stripes, plus the helpers every grid window shares: layout,
// cell painting, hit testing and the row sort.
//
// The fixed row is the view's column header and the fixed column its row
// header, so headings stay in place while the data scrolls; cell (0, 0) is
// drawn in the corner. Everything outside speaks grid coordinates (column,
// row) from 0 with the fixed cells included, as the windows' descriptions
// count; the view's own indices never leave this file.
#include <QAbstractTableModel>
#include <QTableView>
#include <memory>
#include <vector>

#include "toolkit/celltable.h"

class QPainter;

namespace velmora {

class Tuiservice;

// What a grid shows: a table, the grid's own fixed counts, and the order in
// which its rows and columns are shown. The model is itself a cell table,
// the one that sorting, statistics and the output writers read: it gives
// the texts as shown, in the shown order, with the sort markers.
class Tgridmodel : public QAbstractTableModel, public Tcelltable {
    Q_OBJECT
public:
    explicit Tgridmodel(QObject* parent = nullptr);

    // Shows table in its own order, with its fixed counts.
    void settable(std::shared_ptr<const Tcelltable> table);
    const Tcelltable& source() const { return *source_; }
    void setfixed(int fixedcols, int fixedrows);

    int cols() const override { return source_->cols(); }
    int rows() const override { return source_->rows(); }
    int fixedcols() const override { return fixedcols_; }
    int fixedrows() const override { return fixedrows_; }
    std::string cell(int c, int r) const override;
    std::string fullcell(int c, int r) const override;

    // Reorders the data rows (columns): element k names the row (column), in
    // the order shown now, that goes to data position k, as sortorder gives it.
    void reorderrows(const std::vector<int>& order);
    void reordercols(const std::vector<int>& order);
    // Headings lose their sort markers from now on, and column c (as shown
    // now) gets " (^)" when descending, else " (v)".
    void markcolumn(int c, bool descending);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    int sourcerow(int r) const;
    int sourcecol(int c) const;
    void reorder(std::vector<int>& shown, int count, int fixed, const std::vector<int>& order);

    std::shared_ptr<const Tcelltable> source_;
    int fixedcols_ = 0;
    int fixedrows_ = 0;
    // Shown position -> table row (column); empty while in the table's order.
    std::vector<int> roworder_;
    std::vector<int> colorder_;
    bool markers_ = false; // headings are stripped of markers
    int markedcol_ = -1;   // table column carrying the marker
    bool markdescending_ = false;
};

class Tgrid : public QTableView {
    Q_OBJECT
public:
    explicit Tgrid(QWidget* parent = nullptr);

    // The texts as shown (see Tgridmodel).
    const Tcelltable& table() const { return *model_; }
    Tgridmodel& gridmodel() { return *model_; }
    void settable(std::shared_ptr<const Tcelltable> table);
    void settable(Tstringtable table);
    void setfixed(int fixedcols, int fixedrows);

    // Widths and heights in pixels, in grid coordinates.
    int colwidth(int c) const;
    void setcolwidth(int c, int width);
    int defaultrowheight() const;
    void setdefaultrowheight(int height);
    void setdefaultcolwidth(int width);

    // The current cell; -1 when there is none.
    int col() const;
    int row() const;
    void setcurrentcell(int c, int r);
    // The cell under a point of this widget; false (and -1, -1) outside every cell.
    bool cellat(QPoint point, int& c, int& r) const;
    // Where cell (c, r) lies in this widget; empty when it is not in view.
    QRect cellrect(int c, int r) const;

signals:
    void cellclicked(int c, int r);
    void celldoubleclicked(int c, int r);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateheaders();
    QWidget* corner() const;

    Tgridmodel* model_;
    int col0width_ = 64;
};

// flags: 1 sizes each column to its widest text + 4 pixels, at most 250;
// 2 no fixed row; 4 no fixed column. A 1 x 1 grid (without 2 or 4) is
// disabled, shown on the button face and has no fixed cells; a one-row
// grid (without 2) has no fixed row, a one-column grid (without 4) no fixed
// column; otherwise the grid is enabled, on the window colour, with one
// fixed row and one fixed column unless 2 or 4 say otherwise.
void gridlayout(Tgrid* grid, int flags = 0);

// Paints cell (c, r) of the grid into rect: fixed cells on the button face,
// data rows alternating between the window colour (even rows) and the menu
// colour (odd rows), selected or focused cells in the inactive caption's
// gradient colour; black text 2 pixels in from the left and top; a frame.
void griddrawcell(Tgrid* grid, QPainter& painter, int c, int r, const QRect& rect, bool selected);

// The row and column under the mouse pointer, -1 when it is over no cell.
int mouserow(Tgrid* grid);
int mousecol(Tgrid* grid);

// Sorts the grid's data rows by column index (flag 16: its data columns by
// row index) under a progress window "Sorting rows" whose Cancel stops the
// sort part way. Flags and special texts as for sortorder. After a row sort
// of a grid with one fixed row, the sorted column's heading ends in " (v)"
// ascending or " (^)" descending and no other heading keeps a marker.
// Raises ERangeError for an index outside the grid.
void sortgrid(Tgrid* grid, int index, int flags, Tuiservice& ui,
              const Tspecialtexts& special = Tspecialtexts());

} // namespace velmora
