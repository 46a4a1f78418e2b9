// Air exchange across borders and wash-out by intermittent rain.
//
// Exchange: the mean wind at a border blows across it from either side in
// turn, but over distances of hundreds to thousands of kilometres what
// moves a substance between regions is the mixing by weather systems, an
// eddy diffusion with K of about 1e6 m^2/s (two-dimensional tropospheric
// transport models; interhemispheric exchange in about a year: Newell et al.
// 1969, Tellus 21:641; SF6 and 85Kr studies 1.0-1.4 years). The diffusive
// flux between two boxes is K * border * height * (C1 - C2) / distance; the
// wind at the border bounds it for small neighbouring regions, whose centres
// lie closer than K / wind.
//
// Wash-out: a cycle of a dry spell td, in which the substance builds up in
// the air, and a shower tw, in which rain washes it out at the rate
// kw = rate * (td + tw) / tw (the year's wash-out concentrated into the
// showers), repeated for ever (Jolliet and Hauschild 2005, Environ. Sci.
// Technol. 39:4513). For a steady source and no other loss the periodic
// state gives mean mass / source = 1 / keff with, T = td + tw and x = rate T,
//   1 / keff = (T + td) tw / (rate T^2) + td^2 / T * (1 / (e^x - 1) + 1/2).
// It is the steady-rain 1 / rate for a substance rain barely touches
// (x -> 0) and T / (td^2 / 2) for one each shower clears (x -> infinity):
// the mean of a build-up from nothing over the dry spell.
#include "compute/atmosphere.h"

#include <cmath>

namespace velmora {

extended borderexchangevelocity(extended windspeed, extended distance) {
    if (distance * windspeed <= airdiffusivity) return windspeed;
    return airdiffusivity / distance;
}

extended intermittentwashoutrate(extended rate, extended ftimerain) {
    if (!(rate > 0) || !(ftimerain > 0)) return 0;
    if (ftimerain >= 1) return rate;
    const extended tw = rainduration;
    const extended T = tw / ftimerain;
    const extended td = T - tw;
    const extended x = rate * T;
    const extended wet = (T + td) * tw / (rate * T * T);
    const extended dry = td * td / T * (1 / std::expm1(x) + 0.5L);
    return 1 / (wet + dry);
}

} // namespace velmora
