#include "compute/stagemath.h"

#include <cmath>

#include "numeric/errors.h"

namespace velmora::stagemath {

extended quotient(extended a, extended b) {
    if (b == 0) throw Eerror("Floating point division by zero");
    return a / b;
}

extended divide(Tmodel& m, extended a, extended b, Twhere where) {
    if (b == 0) {
        std::string at = where.region ? "[" + m.regions.name(where.region) + "]" : "";
        throw Eerror("Division by zero computing " + where.name + at);
    }
    return a / b;
}

extended ln(extended x) {
    if (!(x > 0) || !std::isfinite(x)) throw EInvalidArgument();
    return std::log(x);
}

extended raise(extended x, extended y) {
    return std::exp(y * ln(x));
}

extended squareroot(extended x) {
    if (x < 0) throw EInvalidOp();
    return std::sqrt(x);
}

} // namespace velmora::stagemath
