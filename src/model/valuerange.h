#pragma once
// What a quantity can be: at least (or above) low and at most high. Values
// outside it fail much later with a message that names nothing ("Could not
// evaluate operation" for a negative area, a division by zero for a vapour
// pressure of 0) or give nonsense quietly (negative intake fractions from a
// negative population), so the imports refuse them at the cell.
#include <limits>
#include <string>

#include "numeric/utilities.h"
#include "numeric/vectors.h"

namespace velmora {

struct Tvaluerange {
    extended low = 0;
    extended high = std::numeric_limits<float>::max();
    bool above = false; // low itself is not allowed

    static Tvaluerange any() {
        return {-std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), false};
    }
    static Tvaluerange positive() { return {0, std::numeric_limits<float>::max(), true}; }
    static Tvaluerange fraction() { return {0, 1, false}; }

    bool contains(extended v) const { return (above ? v > low : v >= low) && v <= high; }
    // "0 or more", "above 0", "0 to 1", told in the unit of a cell whose
    // value is converted as factor * cell + offset.
    std::string text(extended factor = 1, extended offset = 0) const {
        auto cellunit = [&](extended x) {
            return shortesttext(static_cast<double>((x - offset) / factor));
        };
        const bool bounded = high < std::numeric_limits<float>::max();
        std::string t = (above ? "above " : "") + cellunit(low);
        if (bounded) return t + " to " + cellunit(high);
        return above ? t : t + " or more";
    }
};

} // namespace velmora
