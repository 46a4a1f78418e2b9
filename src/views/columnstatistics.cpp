#include "views/columnstatistics.h"

#include <cmath>

#include "model/settings.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "toolkit/celltable.h"

namespace velmora {

std::vector<std::string> columnstatistics(const Tcelltable& table, int c, const Tcolumnvalue& value,
                                          const Tsettings& settings) {
    std::vector<float> numbers;
    float smallest = 0, largest = 0;
    std::string smallestrows, largestrows;
    for (int r = 1; r < table.rows(); ++r) {
        float x = 0;
        if (!value(r, x)) continue;
        const std::string name = table.cell(0, r);
        if (numbers.empty()) {
            smallest = largest = x;
            smallestrows = largestrows = name;
        } else {
            if (x == smallest) {
                smallestrows += "; " + name;
            } else if (x < smallest) {
                smallest = x;
                smallestrows = name;
            }
            if (x == largest) {
                largestrows += "; " + name;
            } else if (x > largest) {
                largest = x;
                largestrows = name;
            }
        }
        numbers.push_back(x);
    }
    const std::size_t n = numbers.size();
    if (n < 2) throw EInvalidArgument();
    extended sum = 0;
    for (float x : numbers)
        sum += x;
    const float mean = static_cast<float>(sum / static_cast<extended>(n));
    extended squares = 0;
    for (float x : numbers)
        squares += (static_cast<extended>(x) - mean) * (static_cast<extended>(x) - mean);
    const float sd = static_cast<float>(std::sqrt(squares / static_cast<extended>(n - 1)));

    const auto shortnumber = [&settings](float x) { return numtostr(x, settings.Digits); };
    std::vector<std::string> lines;
    lines.push_back("Parameter =  " + table.cell(c, 0));
    lines.push_back("N = " + std::to_string(n));
    lines.push_back("smallest = " + shortnumber(smallest) + " (" + smallestrows + ")");
    lines.push_back("largest = " + shortnumber(largest) + " (" + largestrows + ")");
    lines.push_back("mean = " + shortnumber(mean));
    lines.push_back("standard deviation = " + shortnumber(sd));
    // A column of zeros has no relative spread; it is still worth seeing.
    lines.push_back("coefficient of variation = " +
                    (mean == 0 ? settings.UnknownText : shortnumber(sd / mean)));
    lines.push_back("largest/smallest = " +
                    (smallest > 0
                         ? numtostr(static_cast<extended>(largest) / smallest, settings.Digits)
                         : settings.UnknownText));
    return lines;
}

} // namespace velmora
