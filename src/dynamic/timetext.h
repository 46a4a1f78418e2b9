#pragma once
// Spans of time as people write them: a number and a unit, "s", "h", "d" or
// "y" (a year is 365.25 days, the mean calendar year, so a hundred years of
// emission are a hundred years of seasons whatever the leap years).
#include <string>
#include <vector>

namespace velmora {

constexpr double secondsperhour = 3600.0;
constexpr double secondsperday = 86400.0;
constexpr double secondsperyear = 365.25 * secondsperday;

// "100y", "2.5 d", "3600s", "0": seconds. A bare number is in seconds only
// when it is 0; any other number needs its unit, since a forgotten "y" would
// silently make a century into 100 seconds. Raises Eerror naming the text.
double parseduration(const std::string& text);

// Seconds in the largest unit that keeps the number at least 1 (seconds
// below an hour), with up to `digits` significant digits: "36.5 d", "100 y".
std::string durationtext(double seconds, unsigned digits = 4);

// Output times: a comma-separated list of durations in increasing order
// ("1d,1y,10y,100y"), "lin:N" for N times evenly spaced over (0, until]
// or "log:N" for N times evenly spaced in log time from until/10^4 to until.
// Raises Eerror for a time out of order, below 0 or beyond until.
std::vector<double> parseoutputtimes(const std::string& text, double until);

// N times evenly spaced over (0, until], and N times evenly spaced in log
// time from until / 10^decades to until.
std::vector<double> lineartimes(unsigned n, double until);
std::vector<double> logtimes(unsigned n, double until, double decades = 4);

} // namespace velmora
