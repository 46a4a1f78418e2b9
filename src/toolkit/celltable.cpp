#include "toolkit/celltable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "numeric/errors.h"
#include "numeric/uiservice.h"
#include "numeric/utilities.h"

namespace velmora {

// ---- stored texts ------------------------------------------------------------

Tstringtable::Tstringtable(int cols, int rows) {
    setsize(cols, rows);
}

std::string Tstringtable::cell(int c, int r) const {
    if (c < 0 || r < 0 || c >= cols() || r >= rows_) return {};
    return cells_[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
}

std::string Tstringtable::fullcell(int c, int r) const {
    if (c >= 0 && r >= 0 && c < static_cast<int>(fulls_.size())) {
        const auto& column = fulls_[static_cast<std::size_t>(c)];
        if (r < static_cast<int>(column.size()) && !column[static_cast<std::size_t>(r)].empty())
            return column[static_cast<std::size_t>(r)];
    }
    return cell(c, r);
}

void Tstringtable::setsize(int cols, int rows) {
    rows_ = std::max(rows, 0);
    cells_.resize(static_cast<std::size_t>(std::max(cols, 0)));
    for (auto& column : cells_)
        column.resize(static_cast<std::size_t>(rows_));
    if (fulls_.size() > cells_.size()) fulls_.resize(cells_.size());
    for (auto& column : fulls_)
        if (column.size() > static_cast<std::size_t>(rows_)) column.resize(static_cast<std::size_t>(rows_));
}

void Tstringtable::setfixed(int fixedcols, int fixedrows) {
    fixedcols_ = std::max(fixedcols, 0);
    fixedrows_ = std::max(fixedrows, 0);
}

void Tstringtable::setcell(int c, int r, std::string text, std::string full) {
    if (c < 0 || r < 0) throw ERangeError();
    if (c >= cols() || r >= rows_) setsize(std::max(c + 1, cols()), std::max(r + 1, rows_));
    const auto col = static_cast<std::size_t>(c), row = static_cast<std::size_t>(r);
    if (!full.empty() && full != text) {
        if (fulls_.size() <= col) fulls_.resize(col + 1);
        if (fulls_[col].size() <= row) fulls_[col].resize(static_cast<std::size_t>(rows_));
        fulls_[col][row] = std::move(full);
    } else if (col < fulls_.size() && row < fulls_[col].size()) {
        fulls_[col][row].clear();
    }
    cells_[col][row] = std::move(text);
}

int Tstringtable::addcolumn() {
    cells_.emplace_back(static_cast<std::size_t>(rows_));
    return cols() - 1;
}

// ---- computed texts ----------------------------------------------------------

Tcomputedtable::Tcomputedtable(std::uint32_t rows, std::uint32_t cols, Tcelltext text)
    : rows_(rows), cols_(cols), text_(std::move(text)) {}

std::string Tcomputedtable::cell(int c, int r) const {
    if (c < 0 || r < 0 || c > static_cast<int>(cols_) || r > static_cast<int>(rows_)) return {};
    auto heading = [](const std::vector<std::string>& headings, int k) {
        return k - 1 < static_cast<int>(headings.size()) ? headings[static_cast<std::size_t>(k - 1)]
                                                         : std::string();
    };
    if (r == 0) return c == 0 ? corner : heading(colheadings, c);
    if (c == 0) return heading(rowheadings, r);
    return text_(static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(c));
}

std::string Tcomputedtable::fullcell(int c, int r) const {
    if (!fulltext || c < 1 || r < 1 || c > static_cast<int>(cols_) || r > static_cast<int>(rows_))
        return cell(c, r);
    return fulltext(static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(c));
}

// ---- sorting -----------------------------------------------------------------

namespace {

// A cell's sort key: values first, then the cells that hold none.
struct Tkeys {
    std::vector<char> novalue;
    std::vector<double> numbers;
    std::vector<std::string> texts;
};

double numberkey(const std::string& text, const Tspecialtexts& special) {
    if (text == special.inf) return std::numeric_limits<double>::infinity();
    try {
        return static_cast<double>(strtonum(text));
    } catch (const EConvertError&) {
        // A text among numbers counts as 0, as it always has.
        return 0;
    }
}

Tkeys readkeys(const Tcelltable& table, int index, int flags, const Tspecialtexts& special,
               int first, int n) {
    const bool bycolumns = (flags & sortcolumns) != 0;
    const bool numeric = (flags & sortnumeric) != 0;
    Tkeys keys;
    keys.novalue.resize(static_cast<std::size_t>(n));
    if (numeric)
        keys.numbers.resize(static_cast<std::size_t>(n));
    else
        keys.texts.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const auto at = static_cast<std::size_t>(k);
        std::string text = bycolumns ? table.cell(first + k, index) : table.cell(index, first + k);
        if (text.empty() || text == special.unknown || text == special.hidden) {
            keys.novalue[at] = 1;
        } else if (numeric) {
            double x = numberkey(text, special);
            keys.numbers[at] = (flags & sortabsolute) ? std::fabs(x) : x;
        } else {
            if (flags & sortnocase)
                for (char& ch : text)
                    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
            keys.texts[at] = std::move(text);
        }
    }
    return keys;
}

} // namespace

std::vector<int> sortorder(const Tcelltable& table, int index, int flags,
                           const Tspecialtexts& special, Tprogress& progress) {
    const bool bycolumns = (flags & sortcolumns) != 0;
    const int limit = bycolumns ? table.rows() : table.cols();
    if (index < 0 || index >= limit) throw ERangeError();
    const int first = bycolumns ? table.fixedcols() : table.fixedrows();
    const int n = std::max((bycolumns ? table.cols() : table.rows()) - first, 0);
    const Tkeys keys = readkeys(table, index, flags, special, first, n);
    const bool numeric = (flags & sortnumeric) != 0;
    const bool descending = (flags & sortdescending) != 0;

    // True when data position a belongs strictly before b.
    auto before = [&](int a, int b) {
        const auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
        if (keys.novalue[i] != keys.novalue[j]) return keys.novalue[i] < keys.novalue[j];
        if (keys.novalue[i]) return false;
        if (numeric)
            return descending ? keys.numbers[i] > keys.numbers[j]
                              : keys.numbers[i] < keys.numbers[j];
        return descending ? keys.texts[i] > keys.texts[j] : keys.texts[i] < keys.texts[j];
    };

    std::vector<int> order(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        order[static_cast<std::size_t>(k)] = k;
    std::vector<int> merged(order.size());

    int passes = 0;
    for (int width = 1; width < n; width *= 2)
        ++passes;
    std::int64_t stepped = 0;
    int pass = 0;
    for (int width = 1; width < n; width *= 2, ++pass) {
        const std::int64_t due = static_cast<std::int64_t>(n) * (pass + 1) / passes;
        for (; stepped < due; ++stepped)
            progress.stepbar();
        if (progress.cancelled()) break;
        // Bottom-up merge of neighbouring runs; taking from the left run on
        // ties keeps equal keys in their order.
        for (int lo = 0; lo < n; lo += 2 * width) {
            const int mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            int a = lo, b = mid, out = lo;
            while (a < mid && b < hi)
                merged[static_cast<std::size_t>(out++)] =
                    before(order[static_cast<std::size_t>(b)], order[static_cast<std::size_t>(a)])
                        ? order[static_cast<std::size_t>(b++)]
                        : order[static_cast<std::size_t>(a++)];
            while (a < mid)
                merged[static_cast<std::size_t>(out++)] = order[static_cast<std::size_t>(a++)];
            while (b < hi)
                merged[static_cast<std::size_t>(out++)] = order[static_cast<std::size_t>(b++)];
        }
        order.swap(merged);
    }
    for (int& k : order)
        k += first;
    return order;
}

} // namespace velmora
