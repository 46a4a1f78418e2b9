#pragma once
// A small world written by the tests themselves: a handful of countries and
// seas with every landscape parameter, group rows, and the border and flow
// sheets. Values are in the workbooks' own units (km^2, km^3/yr, degC, ...).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velmora::testing {

struct Tsmallregion {
    std::string name;
    std::string abbreviation;
    std::string continent;           // countries
    std::string ocean;               // seas
    std::vector<std::string> groups; // UNDP .. EU27+3 (columns 8..18), countries
    double latitude = 0;
    double longitude = 0;
    double GDP = 0;
    // Parameter values by catalogue name; parameters not given take the
    // defaults of Tsmallworld::countrydefaults / seadefaults.
    std::map<std::string, std::string> values;
};

struct Tsmallworld {
    std::vector<Tsmallregion> countries;
    std::vector<Tsmallregion> seas;
    std::vector<Tsmallregion> countrygroups; // group rows after the countries
    std::vector<Tsmallregion> seagroups;     // group rows after the seas
    // Square sheets: value by (row region name, column region name); in km or km^3/yr.
    std::map<std::string, std::map<std::pair<std::string, std::string>, double>> pairs;
    // Header names left out of a sheet (to test the not-found warning).
    std::vector<std::string> omitcountryheaders;

    static std::map<std::string, std::string> countrydefaults();
    static std::map<std::string, std::string> seadefaults();
    // The parameters read from each sheet ("both" parameters are on both).
    static const std::vector<std::string>& countryparameters();
    static const std::vector<std::string>& seaparameters();

    // Two countries (Aland, Bland), one sea (Asea), a continent group row
    // ("Europa") and an ocean group row ("Oceanus"), with borders A-B, A-S, B-S.
    static Tsmallworld standard();

    void setborder(const std::string& a, const std::string& b, double km);
    void setflow(const std::string& sheet, const std::string& from, const std::string& to,
                 double km3peryear);

    void writeparameters(const std::string& path) const;
    void writeborders(const std::string& path) const;
};

} // namespace velmora::testing
