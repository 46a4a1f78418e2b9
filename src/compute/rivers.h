#pragma once
// The water and solids budgets of the rivers, shared by the transfer stage
// (which routes the solids down the rivers) and the flow stage (which turns
// what a river loses within its region into flows out of the model).
#include <cstdint>

#include "compute/model.h"

namespace velmora {

// The river water of land region i in m^3*s^-1. In: run-off, groundwater,
// the outflow of its lakes and the rivers of upstream regions. Out: to
// downstream regions and the seas, into its lakes and salt lakes, and to
// irrigation. What comes in and does not go out the river loses within the
// region to evaporation and seepage.
struct Triverwater {
    extended in = 0;
    extended out = 0;
    extended lost() const { return in > out ? in - out : 0; }
};
Triverwater riverwater(Tmodel& m, std::uint32_t i);

// Solids (kg*s^-1) that the run-off of land region i erodes from its soils
// into its rivers.
extended erodedsolids(Tmodel& m, std::uint32_t i);

// Solids of land and sea regions: erosion and upstream rivers into each
// region's rivers, on to its lakes, salt lakes, irrigation, downstream
// regions and the seas, and the sedimentation rates of lakes, salt lakes
// and seas that follow. Runs after the per-region transfer coefficients.
void computesolids(Tmodel& m);

} // namespace velmora
