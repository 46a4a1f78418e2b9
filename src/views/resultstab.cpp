#include "views/resultstab.h"

#include <cmath>

#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "toolkit/grid.h"

namespace velmora {

bool Tresultstab::storedvalue(int c, int r, float& x) const {
    const Tgrid* g = grid();
    if (!g || r < 1) return false;
    const std::string text = g->table().cell(c, r);
    try {
        x = static_cast<float>(strtonum(text));
    } catch (const EConvertError&) {
        return false;
    }
    return std::isfinite(x);
}

} // namespace velmora
