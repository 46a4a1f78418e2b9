#pragma once
// The global settings of one workspace and the context that every parameter
// object consults: the settings, the user-interface service and the names of
// the indices it is defined over.
#include <cstdint>
#include <string>

#include "numeric/uiservice.h"

namespace velmora {

struct Tsettings {
    float EmissionAmount = 1;
    float InfValue = 1e20f;
    std::string InfText = "inf";
    std::string UnknownText = "?";
    std::string HiddenText = "-";
    std::uint8_t Digits = 3;
    std::string ParametersFile;
    std::string BordersFile;
    std::string SubstancesFile;
    bool FactorsMode = false;
    bool WithRestime = false;
    std::uint8_t NBordersDisplay = 0;
    std::uint8_t DistancesDisplay = 0;
    std::uint8_t AggregationLevel = 0;
    std::string AggregationGroup;
    bool SparsePairs = true;

    // Sets the three workbook paths from the program directory.
    void setfiles(const std::string& programdirectory);
};

// A typed emission amount (kg*s^-1): a number above 0 and at most 1e15, so
// that nothing it makes reaches InfValue. Raises the conversion error for
// what is no number, and names the allowed range otherwise.
float emissionamountof(const std::string& text);
// A typed InfValue: a number from 1e18 (above every finite value of the
// default data: populations, GDPs, effect factors) to the largest single.
float infvalueof(const std::string& text);

// Names the indices 1..count of per-index parameters: regions for the
// environment and substance, regcomps for the region-compartment index.
class Tindexspace {
public:
    virtual ~Tindexspace() = default;
    virtual std::uint32_t indexcount() const = 0;
    virtual std::string indexname(std::uint32_t i) const = 0;
};

// What a parameter object needs from its workspace.
struct Tmodelcontext {
    Tsettings& settings;
    Tuiservice& ui;
};

} // namespace velmora
