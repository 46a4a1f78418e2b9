#pragma once
// What the editors' grids show: every value by its status through the six
// "View" boxes, so that a user can see at a glance which values were read,
// which were typed and which the program made up. Showing a value neither
// marks it used nor warns about it.
#include <memory>
#include <string>

#include "toolkit/celltable.h"

namespace velmora {

class Tbooleanpar;
class Tbooleanpars;
class Tintpar;
class Tnumpar;
class Tnumpars;
class Tnumparss;
class Tstrpar;
class Tstrpars;
class Tworkspace;
struct Tsettings;

// The "View" boxes: which statuses show their value.
struct Tviewfilter {
    bool fixed = true;
    bool defaults = true;
    bool imported = true;
    bool edited = true;
    bool hidden = false;
    bool unknown = true;

    // True when a value of status s is shown rather than masked.
    bool shows(char s) const;
    // The mask of a value that is not shown: UnknownText for an unknown
    // value while "Unknown" is checked, HiddenText otherwise.
    const std::string& mask(const Tsettings& settings, char s) const;
};

// FilteredText: reals in the long format (per-region and pair values) or
// the short one (scalars), InfText when infinite.
std::string filteredreal(const Tsettings& settings, const Tviewfilter& view, float value, char s,
                         bool longformat);
// The same at full precision, for output.
std::string filteredfull(const Tsettings& settings, const Tviewfilter& view, float value, char s);
std::string filteredtext(const Tsettings& settings, const Tviewfilter& view,
                         const std::string& value, char s);
std::string filteredboolean(const Tsettings& settings, const Tviewfilter& view, bool value, char s);

// One column after the region rows of ShowRegionRows (every region, in
// region order): heading "name (unit)".
void AddFilteredColumn(Tstringtable& table, const Tnumpars& p, const Tworkspace& ws,
                       const Tviewfilter& view);
void AddFilteredColumn(Tstringtable& table, const Tbooleanpars& p, const Tworkspace& ws,
                       const Tviewfilter& view);
void AddFilteredColumn(Tstringtable& table, const Tstrpars& p, const Tworkspace& ws,
                       const Tviewfilter& view);

// One column after the row "All" of ShowAllRow: "name (unit)" for reals and
// integers, "name (-)" for texts and booleans.
void AddFilteredScalarColumn(Tstringtable& table, const Tnumpar& p, const Tworkspace& ws,
                             const Tviewfilter& view);
void AddFilteredScalarColumn(Tstringtable& table, const Tintpar& p, const Tworkspace& ws,
                             const Tviewfilter& view);
void AddFilteredScalarColumn(Tstringtable& table, const Tstrpar& p, const Tworkspace& ws,
                             const Tviewfilter& view);
void AddFilteredScalarColumn(Tstringtable& table, const Tbooleanpar& p, const Tworkspace& ws,
                             const Tviewfilter& view);

// The (n + 1) x (n + 1) pair matrix, corner "Region", regions heading rows
// and columns; cells are formatted when the grid asks for them, with the
// view as it was when the table was made. p must outlive the table.
std::shared_ptr<Tcelltable> ShowFilteredPairMatrix(const Tnumparss& p, const Tworkspace& ws,
                                                   const Tviewfilter& view);

// The parameter name a grid heading stands for: the text before its unit
// " (" (so the sort mark " (v)" and names with blanks such as "UNDP region
// code" come out whole); a heading without a unit gives the empty name.
std::string headingparameter(const std::string& heading);

} // namespace velmora
