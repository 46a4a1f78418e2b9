#pragma once
// Column statistics of a results grid: count, smallest and largest with the
// rows holding them, mean, standard deviation, coefficient of variation and
// the largest/smallest ratio, as the lines of a text window.
#include <functional>
#include <string>
#include <vector>

namespace velmora {

class Tcelltable;
class Tprograminfo;
struct Tsettings;

// The stored value of data row r of the column; false when it has none.
using Tcolumnvalue = std::function<bool(int r, float& x)>;

// The eight lines for column c of table. Values are taken row by row from
// value, row names from column 0 of table. Fewer than two values raise
// EInvalidArgument "Invalid argument" (there is no spread to tell); a mean
// of 0 or a smallest value of 0 or below show UnknownText for the ratios
// that would divide by them.
std::vector<std::string> columnstatistics(const Tcelltable& table, int c, const Tcolumnvalue& value,
                                          const Tsettings& settings);

} // namespace velmora
