#pragma once
// How the concentrations in food and drinking water follow from those in
// the environment. Both calculation modes read the same factors: the
// concentration stage applies them to one emission's concentrations, the
// factor matrices hold them for every emission at once, so the two modes
// cannot drift apart.
#include <cstdint>

#include "compute/model.h"

namespace velmora {

// Environmental concentrations are per m³ of the compartment (bulk soil,
// water, air); food concentrations per kg of fresh food, drinking water per
// m³. Each factor turns one compartment's concentration into a share of one
// food's concentration.
struct Tfoodfactors {
    extended leafcrops_agr = 0, leafcrops_air = 0;
    extended rootcrops_agr = 0;
    extended grass_nat = 0, grass_air = 0;
    // Cattle: what they take in per day for a unit concentration in grass
    // (per kg), agricultural soil and air (per m³); the biotransfer factor
    // turns the daily intake into a concentration in meat or milk.
    extended cattle_grass = 0, cattle_agr = 0, cattle_air = 0;
    extended meatfactor = 0, milkfactor = 0;
    extended fish_river = 0, fish_lake = 0;
    extended drw_river = 0, drw_lake = 0, drw_groundwater = 0;
};

// The factors of land region i. Every input is read with get.
Tfoodfactors foodfactors(Tmodel& model, std::uint32_t i);

// The share of a sea region's water concentration that sea fish take up
// (per kg of fish per kg chem*m^-3): 0 for a gas.
extended seafishfactor(Tmodel& model, std::uint32_t i);

} // namespace velmora
