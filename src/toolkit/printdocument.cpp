#include "toolkit/printdocument.h"

#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <sstream>

#include "numeric/errors.h"
#include "toolkit/output/textwriter.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Characters as a reader counts them (UTF-8 continuation bytes are not).
std::size_t textwidth(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char ch) { return (ch & 0xC0) != 0x80; }));
}

std::size_t columns(const Tprintblock& table) {
    std::size_t n = 0;
    for (const auto& row : table.cells)
        n = std::max(n, row.size());
    return n;
}

std::string cellof(const Tprintblock& table, std::size_t r, std::size_t c) {
    const auto& row = table.cells[r];
    return c < row.size() ? row[c] : std::string();
}

} // namespace

void Tprintdocument::addline(const std::string& text) {
    Tprintblock block;
    block.line = text;
    blocks_.push_back(std::move(block));
}

void Tprintdocument::addtable(const std::string& tabtext, int headrows, int headcols) {
    Tprintblock block;
    std::istringstream in(tabtext);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> row;
        std::size_t start = 0;
        while (true) {
            const std::size_t tab = line.find('\t', start);
            row.push_back(
                line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        block.cells.push_back(std::move(row));
    }
    if (block.cells.empty()) return;
    block.headrows = std::clamp(headrows, 0, static_cast<int>(block.cells.size()));
    block.headcols = std::max(headcols, 0);
    blocks_.push_back(std::move(block));
}

std::string Tprintdocument::aligned() const {
    std::string out;
    for (const Tprintblock& block : blocks_) {
        if (!block.istable()) {
            out += block.line + '\n';
            continue;
        }
        const std::size_t n = columns(block);
        std::vector<std::size_t> widths(n, 0);
        for (std::size_t r = 0; r < block.cells.size(); ++r)
            for (std::size_t c = 0; c < n; ++c)
                widths[c] = std::max(widths[c], textwidth(cellof(block, r, c)));
        std::size_t total = 0;
        for (std::size_t c = 0; c < n; ++c)
            total += widths[c] + (c > 0 ? 2 : 0);
        for (std::size_t r = 0; r < block.cells.size(); ++r) {
            std::string line;
            for (std::size_t c = 0; c < n; ++c) {
                const std::string text = cellof(block, r, c);
                const std::string pad(widths[c] - textwidth(text), ' ');
                if (c > 0) line += "  ";
                // Numbers are set flush right, so that their digits line up.
                const bool right = r >= static_cast<std::size_t>(block.headrows) &&
                                   c >= static_cast<std::size_t>(block.headcols) &&
                                   isnumbertext(text);
                line += right ? pad + text : text + pad;
            }
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            out += line + '\n';
            if (block.headrows > 0 && r + 1 == static_cast<std::size_t>(block.headrows))
                out += std::string(total, '-') + '\n';
        }
    }
    return out;
}

int Tprintdocument::print(QPagedPaintDevice& device) const {
    const int pages = layout(device, nullptr, 0);
    QPainter painter;
    if (!painter.begin(&device)) throw Eerror("Cannot print: the printer cannot be started");
    layout(device, &painter, pages);
    painter.end();
    return pages;
}

int Tprintdocument::layout(QPagedPaintDevice& device, QPainter* painter, int total) const {
    QFont textfont = QApplication::font();
    textfont.setPointSizeF(10);
    QFont tablefont = QApplication::font();
    tablefont.setPointSizeF(8);
    QFont headfont = tablefont;
    headfont.setBold(true);
    const QFontMetricsF text(textfont, &device), table(tablefont, &device), head(headfont, &device);
    const double width = device.width(), height = device.height();
    const double lineheight = text.lineSpacing();
    const double pad = table.averageCharWidth() * 0.6;
    const double rowheight = table.lineSpacing() * 1.35;
    // The page number sits in the last line; the body ends above it.
    const double bottom = height - 2 * lineheight;
    int page = 1;
    double y = 0;

    const auto finishpage = [&] {
        if (!painter) return;
        painter->setFont(textfont);
        painter->setPen(Qt::black);
        painter->drawText(QRectF(0, height - lineheight, width, lineheight), Qt::AlignCenter,
                          QStringLiteral("Page %1 of %2").arg(page).arg(total));
    };
    const auto newpage = [&] {
        finishpage();
        if (painter) device.newPage();
        ++page;
        y = 0;
    };

    for (const Tprintblock& block : blocks_) {
        if (!block.istable()) {
            if (y + lineheight > bottom && y > 0) newpage();
            if (painter) {
                painter->setFont(textfont);
                painter->setPen(Qt::black);
                painter->drawText(QRectF(0, y, width, lineheight), Qt::AlignLeft | Qt::AlignVCenter,
                                  text.elidedText(qs(block.line), Qt::ElideRight, width));
            }
            y += lineheight;
            continue;
        }
        // Column widths from every cell, each at most a third of the page
        // (longer texts are cut with an ellipsis).
        const std::size_t n = columns(block);
        const auto headcols = std::min<std::size_t>(static_cast<std::size_t>(block.headcols), n);
        const auto headrows = static_cast<std::size_t>(block.headrows);
        std::vector<double> widths(n, 0);
        for (std::size_t r = 0; r < block.cells.size(); ++r)
            for (std::size_t c = 0; c < n; ++c) {
                const QFontMetricsF& m = r < headrows || c < headcols ? head : table;
                widths[c] = std::max(widths[c], m.horizontalAdvance(qs(cellof(block, r, c))));
            }
        for (double& w : widths)
            w = std::min(w + 2 * pad, width / 3);
        double headwidth = 0;
        for (std::size_t c = 0; c < headcols; ++c)
            headwidth += widths[c];
        // The data columns in groups that fit beside the heading columns.
        std::vector<std::vector<std::size_t>> groups;
        double used = 0;
        for (std::size_t c = headcols; c < n; ++c) {
            if (groups.empty() || used + widths[c] > width - headwidth) {
                groups.emplace_back();
                used = 0;
            }
            groups.back().push_back(c);
            used += widths[c];
        }
        if (groups.empty()) groups.emplace_back();

        const auto drawrow = [&](std::size_t r, const std::vector<std::size_t>& group) {
            if (painter) {
                double x = 0;
                std::vector<std::size_t> shown;
                for (std::size_t c = 0; c < headcols; ++c)
                    shown.push_back(c);
                shown.insert(shown.end(), group.begin(), group.end());
                for (std::size_t c : shown) {
                    const bool heading = r < headrows || c < headcols;
                    const QRectF cell(x, y, widths[c], rowheight);
                    painter->fillRect(cell, heading ? QColor(225, 225, 225) : QColor(Qt::white));
                    painter->setPen(QPen(QColor(160, 160, 160), 0));
                    painter->drawRect(cell);
                    const std::string t = cellof(block, r, c);
                    const QFontMetricsF& m = heading ? head : table;
                    painter->setFont(heading ? headfont : tablefont);
                    painter->setPen(Qt::black);
                    const Qt::Alignment align =
                        (!heading && isnumbertext(t) ? Qt::AlignRight : Qt::AlignLeft) |
                        Qt::AlignVCenter;
                    painter->drawText(cell.adjusted(pad, 0, -pad, 0), align,
                                      m.elidedText(qs(t), Qt::ElideRight, widths[c] - 2 * pad));
                    x += widths[c];
                }
            }
            y += rowheight;
        };
        const auto drawhead = [&](const std::vector<std::size_t>& group) {
            for (std::size_t r = 0; r < headrows && r < block.cells.size(); ++r)
                drawrow(r, group);
        };
        for (std::size_t g = 0; g < groups.size(); ++g) {
            // Each further group of columns starts a page of its own; the
            // first starts one when not even its heading and a row fit.
            if (y > 0 && (g > 0 || y + rowheight * static_cast<double>(headrows + 1) > bottom))
                newpage();
            drawhead(groups[g]);
            // A page holds at least the heading and one row, however small.
            const double headheight = rowheight * static_cast<double>(headrows);
            for (std::size_t r = headrows; r < block.cells.size(); ++r) {
                if (y + rowheight > bottom && y > headheight + rowheight / 2) {
                    newpage();
                    drawhead(groups[g]);
                }
                drawrow(r, groups[g]);
            }
        }
        y += lineheight / 2;
    }
    finishpage();
    return page;
}

} // namespace velmora
