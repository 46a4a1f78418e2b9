#pragma once
// The grid operations of the results window and its tabs: region rows,
// regional, percent and scalar columns, region-pair and regcomp matrices,
// the regcomp meaning table, and the two number formats.
//
// Every operation reads stored values and statuses directly: showing a
// value must neither mark it used (the Check tab would stop reporting it)
// nor warn about a value that has none. Regional tables are built as texts
// (a few hundred rows); pair and regcomp tables are computed tables that
// format a cell only when the view asks for it, so a 3,468 x 3,468 matrix
// costs nothing until it is scrolled to.
#include <memory>
#include <string>
#include <vector>

#include "toolkit/celltable.h"

namespace velmora {

class Tgrid;
class Tnummatrix;
class Tnumpar;
class Tnumpars;
class Tnumparss;
class Tregcomps;
class Tworkspace;
struct Tsettings;

// What the grids need to know besides the values.
struct Tgridcontext {
    const Tworkspace& ws;
    bool OECDOnly = false;
    // The values read are not those of the labels (a failed or refused
    // calculation): value cells of the tables marked as depending on it show
    // UnknownText instead of numbers that belong to another calculation.
    bool stale = false;
};

// The display rule of one stored value. The short format (scalars) never
// shows more than 7 significant digits; the long one (per-region, pair and
// regcomp values) shows Digits of them, up to 18.
std::string celltextshort(const Tsettings& settings, float value, char status);
std::string celltextlong(const Tsettings& settings, float value, char status);
// A percentage: the integer nearest to 100 x value, ties to even.
std::string celltextpercent(const Tsettings& settings, float value, char status);
// The same stored value at full precision (fullprecisiondigits), for output:
// a value or, with percent, 100 x value unrounded.
std::string celltextfull(const Tsettings& settings, float value, char status,
                         bool percent = false);

// "name (unit)", as headings and list items read.
std::string heading(const std::string& name, const std::string& unit);
// The name of a list item or heading: the text before " (".
std::string itemname(const std::string& item);

// True when region i is an OECD member (its OECD text is exactly "OECD").
bool oecdmember(const Tworkspace& ws, std::uint32_t i);

// Region-table builders: the table holds "Region" and one row per shown region.
void ShowRegionRows(Tstringtable& table, const Tgridcontext& g);
void ShowAllRow(Tstringtable& table);
// Appends one column; stale shows every value cell as UnknownText.
void AddRegionalColumn(Tstringtable& table, const Tnumpars& p, const Tgridcontext& g,
                       bool stale = false);
void AddPercentColumn(Tstringtable& table, const Tnumpars& p, const Tgridcontext& g,
                      bool stale = false);
void AddScalarColumn(Tstringtable& table, const Tnumpar& p, const Tgridcontext& g,
                     bool stale = false);

// Computed tables over the workspace's stored values; they read p while
// shown, so p must outlive them (the workspace's objects do).
std::shared_ptr<Tcelltable> ShowPairMatrix(const Tnumparss& p, const Tworkspace& ws);
std::shared_ptr<Tcelltable> ShowRegcompColumn(const Tnumpars& p, const Tworkspace& ws,
                                              bool stale = false);
std::shared_ptr<Tcelltable> ShowRegcompMatrix(const Tnumparss& p, const Tworkspace& ws);
std::shared_ptr<Tcelltable> ShowFactorMatrix(const Tnummatrix& m, const Tworkspace& ws);
std::shared_ptr<Tcelltable> ShowRegcompMeaning(const Tworkspace& ws);

// Headings of one side of a regcomp-system matrix of the given length:
// regcomp names for N, exposure-medium names for 8 x regions, route names
// for 2 x regions when routes is set, the effect rows' names for 5 and 2
// when effectrows is set; empty headings otherwise.
std::vector<std::string> regcompheadings(const Tworkspace& ws, std::uint32_t count, bool routes,
                                         bool effectrows);

// Puts the table into the grid and lays it out (fixed first row and column,
// column 0 at 120 pixels when widecolumn0, every column fitted to its
// texts when fitcolumns). A table of texts is fitted; the columns of
// computed matrices keep the default width unless their heading, with room
// for a sort marker, needs more (at most 250 pixels; the tooltip shows
// longer ones whole).
void FinishGrid(Tgrid* grid, std::shared_ptr<const Tcelltable> table, bool widecolumn0,
                bool fitcolumns = false);
void FinishGrid(Tgrid* grid, Tstringtable table);

} // namespace velmora
