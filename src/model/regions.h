#pragma once
// The regions of the model world (countries first, then seas) with their
// description and groupings, and the twelve environmental compartments.
#include <array>
#include <cstdint>
#include <string>

#include "model/settings.h"
#include "numeric/vectors.h"

namespace velmora {

class TExcelFile;

// The groupings of the region list in declaration order; the aggregation
// level that uses grouping g is g + 1.
enum Tgrouping : std::uint8_t {
    gContinent,
    gOcean,
    gUNDP,
    gGLO,
    gNearEast,
    gMiddleEast,
    gUCTE,
    gCENTREL,
    gNORDEL,
    gIIASAPOP,
    gOECD,
    gEU27,
    gEU27plus3,
    gLandsea,
    groupingcount
};

// The items of the aggregation dialog, by level 0..15.
extern const std::array<const char*, 16> aggregationlevelnames;

struct Tregionrecord {
    std::string name;
    std::string abbreviation;
    std::array<std::string, groupingcount> groups;
    std::uint32_t row = 0;
    float latitude = 0;
    float longitude = 0;
    float GDP = 0;
    bool land = true;
};

class Tregions : public Tindexspace {
public:
    Tregions();

    std::uint32_t count = 0;
    std::uint32_t nland = 0;
    std::uint32_t nsea = 0;
    Tstrvector names;
    Tstrvector abbreviations;
    Tcountvector rows;
    Tbooleanvector landflags;
    Tnumvector latitudes;
    Tnumvector longitudes;
    Tnumvector GDPs;
    std::array<Tstrvector, groupingcount> groupvalues;    // per region
    std::array<Tstrvector, groupingcount> distinctvalues; // in order of first appearance

    void clear();
    // Reads the region list from the open first environment workbook,
    // honouring the aggregation level and group of the settings.
    void read(TExcelFile& workbook, const Tsettings& settings, Tuiservice& ui);
    void add(const Tregionrecord& region);
    std::string name(std::uint32_t i) const;
    std::uint32_t find(const std::string& name) const;
    bool island(std::uint32_t i) const { return landflags.getvalue(i); }

    std::uint32_t indexcount() const override { return count; }
    std::string indexname(std::uint32_t i) const override { return name(i); }
};

// Compartment numbers.
enum : std::uint32_t {
    air = 1,
    nat = 2,
    agr = 3,
    urb = 4,
    river = 5,
    lake = 6,
    lakesed = 7,
    saltlake = 8,
    saltlakesed = 9,
    groundwater = 10,
    seawater = 11,
    seased = 12
};
constexpr std::uint32_t ncompartments = 12;

class Tcompartments {
public:
    std::uint32_t count = 0;
    Tstrvector names;
    Tstrvector abbreviations;

    void clear();
    void define();
    std::string name(std::uint32_t i) const { return names.getvalue(i); }
    // The compartment whose name or abbreviation equals text; 0 when none.
    std::uint32_t find(const std::string& text) const;
};

// Why an aggregation cannot be built from the first workbook: an empty
// text when it can. Every level from 1 to 14 needs a group that some region
// of its grouping has (levels 1 to 4 also a group row); level 15 is not one
// the region list builds.
std::string aggregationproblem(TExcelFile& workbook, std::uint8_t level, const std::string& group);

} // namespace velmora
