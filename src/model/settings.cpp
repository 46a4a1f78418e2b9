#include "model/settings.h"

#include <cmath>
#include <limits>

#include "numeric/errors.h"
#include "numeric/files.h"
#include "numeric/utilities.h"

namespace velmora {

void Tsettings::setfiles(const std::string& programdirectory) {
    ParametersFile = programdirectory + "/ENVDATA2part1.xlsx";
    BordersFile = programdirectory + "/ENVDATA2part2.xlsx";
    SubstancesFile = programdirectory + "/substances.xlsx";
}

namespace {

float rangedsetting(const std::string& text, const char* what, long double low, bool above,
                    long double high, const char* allowed) {
    long double x = strtonum(text);
    bool inside = std::isfinite(x) && (above ? x > low : x >= low) && x <= high;
    if (!inside)
        throw EConvertError(std::string(what) + ": '" + messagetext(text) +
                            "' is outside the allowed range (" + allowed + ")");
    return static_cast<float>(x);
}

} // namespace

float emissionamountof(const std::string& text) {
    return rangedsetting(text, "Emission", 0, true, 1e15L, "above 0 to 1e15 kg*s^-1");
}

float infvalueof(const std::string& text) {
    return rangedsetting(text, "Infinite", 1e18L, false, std::numeric_limits<float>::max(),
                         "1e18 to 3.4e38");
}

} // namespace velmora
