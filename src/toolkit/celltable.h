#pragma once
// The cell texts of a grid, as everything that reads a grid sees them: the
// display, the row sort, column statistics, the map and the output writers.
// Cells are addressed (column, row) from 0, fixed heading rows and columns
// included, as the windows' own descriptions count them: cell (0, 0) is the
// corner, cell (c, 0) the heading of column c.
//
// Plain C++ on purpose: a table is built by whoever knows the values and is
// handed to a grid, which only shows it. Big tables (regcomp matrices of
// 3,468 x 3,468) are computed tables that format a cell when it is asked
// for, so nothing ever holds millions of texts.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

class Tprogress;

// Significant digits that tell every single-precision value apart.
constexpr unsigned fullprecisiondigits = 9;

class Tcelltable {
public:
    virtual ~Tcelltable() = default;
    virtual int cols() const = 0;
    virtual int rows() const = 0;
    virtual int fixedcols() const = 0;
    virtual int fixedrows() const = 0;
    // The text of cell (c, r); empty outside the table.
    virtual std::string cell(int c, int r) const = 0;
    // The same cell at full precision: a stored value with all the
    // significant digits its single precision holds (fullprecisiondigits),
    // where the shown text is rounded to the digits of the display. Cells
    // that are no stored value read as shown.
    virtual std::string fullcell(int c, int r) const { return cell(c, r); }

    // The text heading column c (its cell in the fixed row), empty without one.
    std::string columnheading(int c) const { return fixedrows() > 0 ? cell(c, 0) : std::string(); }
    // The text heading row r (its cell in the fixed column), empty without one.
    std::string rowheading(int r) const { return fixedcols() > 0 ? cell(0, r) : std::string(); }
};

// A table of stored texts, filled cell by cell or column by column.
class Tstringtable : public Tcelltable {
public:
    // cols x rows empty cells, one fixed row and one fixed column.
    explicit Tstringtable(int cols = 0, int rows = 0);

    int cols() const override { return static_cast<int>(cells_.size()); }
    int rows() const override { return rows_; }
    int fixedcols() const override { return fixedcols_; }
    int fixedrows() const override { return fixedrows_; }
    std::string cell(int c, int r) const override;
    std::string fullcell(int c, int r) const override;

    // Cells that come into the table are empty; cells that leave are lost.
    void setsize(int cols, int rows);
    void setfixed(int fixedcols, int fixedrows);
    // Writing outside the table grows it. full: the cell at full precision,
    // when it differs from text.
    void setcell(int c, int r, std::string text, std::string full = {});
    // Appends an empty column and returns its number.
    int addcolumn();

private:
    std::vector<std::vector<std::string>> cells_; // by column, then row
    // Full-precision texts, by column, then row; a column without any is
    // empty, and an empty text reads as the shown one.
    std::vector<std::vector<std::string>> fulls_;
    int rows_ = 0;
    int fixedcols_ = 1;
    int fixedrows_ = 1;
};

// A (rows + 1) x (cols + 1) table over stored values: one heading row, one
// heading column, and data cells whose text the caller's function makes
// from the values when a cell is read. Data indices are 1-based, as the
// model's matrices count.
class Tcomputedtable : public Tcelltable {
public:
    using Tcelltext = std::function<std::string(std::uint32_t row, std::uint32_t col)>;
    Tcomputedtable(std::uint32_t rows, std::uint32_t cols, Tcelltext text);

    std::string corner;
    // Heading texts of data columns 1..cols and data rows 1..rows (element 0
    // heads column or row 1); missing ones are empty.
    std::vector<std::string> colheadings;
    std::vector<std::string> rowheadings;

    int cols() const override { return static_cast<int>(cols_) + 1; }
    int rows() const override { return static_cast<int>(rows_) + 1; }
    int fixedcols() const override { return 1; }
    int fixedrows() const override { return 1; }
    std::string cell(int c, int r) const override;
    std::string fullcell(int c, int r) const override;

    // Makes a data cell's full-precision text; without it the shown text serves.
    Tcelltext fulltext;

private:
    std::uint32_t rows_;
    std::uint32_t cols_;
    Tcelltext text_;
};

// sortgrid's flags.
enum : int {
    sortnumeric = 1,     // compare as numbers; a text that is no number counts as 0
    sortabsolute = 2,    // compare absolute values (with sortnumeric)
    sortnocase = 4,      // compare texts upper-cased
    sortdescending = 8,  // largest first
    sortcolumns = 16,    // order the data columns by a row instead of rows by a column
};

// The texts that stand for values rather than spell them: the infinite value
// sorts as the largest number; unknown and hidden values, and empty cells,
// sort after every value in either direction, since they are no value at all.
struct Tspecialtexts {
    std::string inf = "inf";
    std::string unknown = "?";
    std::string hidden = "-";
};

// The order of the data rows of table (data columns with sortcolumns) after
// sorting by column (row) index: element k is the table row (column) that
// goes to position fixedrows + k (fixedcols + k). Equal keys keep their
// order. The keys are read and parsed once, and only the order is sorted.
// The sort runs in merge passes; before each it steps progress's bar (n
// steps in all for n data rows) and stops when progress reports Cancel,
// returning the order reached so far: every run merged until then is in
// order, the whole is not. Raises ERangeError when index lies before the
// first or beyond the last column (row).
std::vector<int> sortorder(const Tcelltable& table, int index, int flags,
                           const Tspecialtexts& special, Tprogress& progress);

} // namespace velmora
