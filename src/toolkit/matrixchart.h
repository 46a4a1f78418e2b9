#pragma once
// The matrix chart: where a matrix holds positive values (blue dots) and
// negative or undefined ones (red dots), row 1 at the top, column 1 at the
// left, inside a frame; zeros leave their place empty.
#include <string>

class QWidget;

namespace velmora {

class Tnummatrix;
class Tplot;
class Tprograminfo;

// Draws the chart of matrix with its title into plot, whose world must run
// over the matrix's columns (x) and rows (y). A pixel that several cells
// fall on gets one dot; only the stored non-zeros of a sparse matrix are read.
void drawmatrixchart(Tplot& plot, const Tnummatrix& matrix, const std::string& title);

// The chart in a picture window captioned program name + " - Matrix chart",
// shown modally. A matrix without rows or columns raises EInvalidArgument
// "Invalid argument". A single row or column is drawn across the middle.
void matrixchart(const Tnummatrix& matrix, const std::string& title, const Tprograminfo& program,
                 QWidget* parent = nullptr);

// The world matrixchart gives its plot: columns 1..cols across, rows
// 1..rows up; a range of one is widened to 0..2 so that it has a middle.
struct Tworld;
Tworld matrixworld(const Tnummatrix& matrix);

} // namespace velmora
