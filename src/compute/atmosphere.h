#pragma once
// Two rules of the air that the landscape data do not give directly: how
// fast the air of two neighbouring regions mixes, and how much of a
// substance rain washes out when it rains only now and then.
#include "numeric/vectors.h"

namespace velmora {

// Horizontal eddy diffusivity of the lower troposphere on the scale of
// weather systems (m^2*s^-1). With it the default world exchanges the air of
// the two hemispheres in about a year, as tracer studies find.
inline constexpr extended airdiffusivity = 1.0e6L;

// Velocity (m*s^-1) at which air crosses a border, each way: eddies mix the
// two regions' air over the distance between their centres (diffusivity /
// distance), but never faster than the wind at the border carries it. Regions
// whose centres coincide (distance 0) exchange at the wind speed.
extended borderexchangevelocity(extended windspeed, extended distance);

// Length of the rain of one rain day (s): Ftime_rain counts a tenth of a day
// for each rain day.
inline constexpr extended rainduration = 0.1L * 86400;

// Long-term mean wash-out rate constant (s^-1) when rain falls a fraction
// `ftimerain` of the time, in showers of rainduration with dry spells
// between them, and the continuous rate `rate` is what the year's rain would
// wash out falling steadily. Rain only washes out what the dry spell before
// it brought into the air, so a substance that every shower clears entirely
// leaves the air no faster than 2 (dry + wet) / dry^2 however well it
// dissolves. ftimerain >= 1 is steady rain (the rate itself); no rain time,
// no wash-out.
extended intermittentwashoutrate(extended rate, extended ftimerain);

} // namespace velmora
