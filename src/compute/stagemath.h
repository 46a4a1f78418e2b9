#pragma once
// Guarded arithmetic of the calculation stages. A formula whose inputs make
// it undefined (a zero divisor from the data, a logarithm of a non-positive
// number, a value too large for a float) abandons the calculation with a
// message, as a floating-point fault would, instead of storing inf or NaN
// that every later stage would carry on.
#include <cmath>
#include <cstdint>
#include <string>

#include "compute/model.h"
#include "numeric/errors.h"

namespace velmora::stagemath {

// A computed value as the single-precision number it is stored as. Inline:
// the all-factors run rounds a few dozen values per region and box.
inline float single(extended x) {
    if (std::isnan(x)) throw EInvalidOp();
    float f = static_cast<float>(x);
    if (!std::isfinite(f)) throw Eerror("Floating point overflow");
    return f;
}
// a / b; a zero divisor raises "Floating point division by zero".
extended quotient(extended a, extended b);

// The result a formula is computing, for the message of a failed division.
struct Twhere {
    const std::string& name;
    std::uint32_t region = 0; // 0: a scalar
};
// a / b; a zero divisor raises "Division by zero computing <name>[<region>]".
extended divide(Tmodel& m, extended a, extended b, Twhere where);

// Natural logarithm; a non-positive argument raises "Invalid argument".
extended ln(extended x);
// x^y computed as exp(y * ln x), in extended precision.
extended raise(extended x, extended y);
// Square root; a negative argument raises "Could not evaluate operation".
extended squareroot(extended x);

} // namespace velmora::stagemath
