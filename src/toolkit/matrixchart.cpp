#include "toolkit/matrixchart.h"

#include <QColor>
#include <cmath>
#include <cstdint>
#include <vector>

#include "numeric/errors.h"
#include "numeric/matrices.h"
#include "toolkit/plot.h"
#include "toolkit/smallforms.h"

namespace velmora {

Tworld matrixworld(const Tnummatrix& matrix) {
    const float rows = static_cast<float>(matrix.rows());
    const float cols = static_cast<float>(matrix.cols());
    Tworld world{1, cols, 1, rows};
    if (matrix.cols() == 1) {
        world.xmin = 0;
        world.xmax = 2;
    }
    if (matrix.rows() == 1) {
        world.ymin = 0;
        world.ymax = 2;
    }
    return world;
}

void drawmatrixchart(Tplot& plot, const Tnummatrix& matrix, const std::string& title) {
    const std::uint32_t rows = matrix.rows(), cols = matrix.cols();
    plot.drawtitle(QString::fromStdString(title));
    const QColor frame = plot.pencolor;
    plot.drawline(1, 1, cols, 1);
    plot.drawline(1, 1, 1, rows);
    plot.drawline(1, rows, cols, rows);
    plot.drawline(cols, 1, cols, rows);

    // Thousands of cells fall on one pixel: mark the pixels first, then
    // draw one dot per marked pixel, blue ones first and red ones over them.
    std::vector<int> xpix(cols + 1), ypix(rows + 1);
    int width = 0, height = 0;
    for (std::uint32_t j = 1; j <= cols; ++j)
        width = std::max(width, (xpix[j] = plot.xpixel(j)) + 1);
    for (std::uint32_t i = 1; i <= rows; ++i)
        height = std::max(height, (ypix[i] = plot.ypixel(double(rows) - i + 1)) + 1);
    enum : std::uint8_t { positive = 1, negative = 2 };
    std::vector<std::uint8_t> marks(static_cast<std::size_t>(width) * height);
    auto mark = [&](std::uint32_t i, std::uint32_t j, extended x) {
        const int px = xpix[j], py = ypix[i];
        if (px < 0 || py < 0) return;
        std::uint8_t& m = marks[static_cast<std::size_t>(py) * width + px];
        if (x > 0)
            m |= positive;
        else if (x < 0 || std::isnan(x))
            m |= negative;
    };
    if (matrix.storage() == dense && matrix.precision() == precsingle) {
        // A full inverse is twelve million cells: read its table directly.
        const float* table = matrix.singletable();
        const std::size_t stride = matrix.colcapacity();
        for (std::uint32_t i = 1; i <= rows; ++i) {
            const float* row = table + (i - 1) * stride;
            for (std::uint32_t j = 1; j <= cols; ++j)
                if (row[j - 1] != 0) mark(i, j, row[j - 1]);
        }
    } else {
        matrix.foreachnonzero(mark);
    }
    for (std::uint8_t kind : {positive, negative}) {
        std::vector<QPoint> dots;
        for (int py = 0; py < height; ++py)
            for (int px = 0; px < width; ++px)
                if (marks[static_cast<std::size_t>(py) * width + px] & kind) dots.emplace_back(px, py);
        plot.pencolor = kind == positive ? QColor(0, 0, 255) : QColor(255, 0, 0);
        plot.drawdotsatpixels(dots);
    }
    plot.pencolor = frame;
}

void matrixchart(const Tnummatrix& matrix, const std::string& title, const Tprograminfo& program,
                 QWidget* parent) {
    if (matrix.rows() == 0 || matrix.cols() == 0) throw EInvalidArgument();
    TPlotForm form(program, parent);
    Tplot plot(*form.Image, matrixworld(matrix), 0.1f, 0.1f);
    drawmatrixchart(plot, matrix, title);
    form.setWindowTitle(QString::fromStdString(program.caption("Matrix chart")));
    form.exec();
}

} // namespace velmora
