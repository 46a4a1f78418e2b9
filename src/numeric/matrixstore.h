#pragma once
// The storage engine behind the one-based matrices: a dense table, an
// indexed sparse table (item numbers plus the non-default items) or a listed
// sparse list (row, column and value of each non-default item), for one
// element type. Tnummatrix, Tcharmatrix and Tbooleanmatrix wrap it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "numeric/errors.h"

namespace velmora {

// Zeroed blocks that are not written when allocated (see Tzeroallocator).
void* allocatezeroed(std::size_t bytes);
void releasezeroed(void* p, std::size_t bytes);

// Allocates zeroed memory without writing it: large blocks come from the
// system as untouched zero pages (in huge pages where the system offers
// them, since first touches of small pages are what a 3,468 x 3,468 table
// costs most), so a table costs only the pages that are ever written.
// Elements are default-initialised (trivial types only), which leaves the
// zeros in place.
template <typename T> struct Tzeroallocator {
    using value_type = T;
    Tzeroallocator() = default;
    template <typename U> Tzeroallocator(const Tzeroallocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocatezeroed(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { releasezeroed(p, n * sizeof(T)); }
    template <typename U> void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... A> void construct(U* p, A&&... a) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
    }
    template <typename U> bool operator==(const Tzeroallocator<U>&) const { return true; }
    template <typename U> bool operator!=(const Tzeroallocator<U>&) const { return false; }
};

template <typename T> using Tzerovector = std::vector<T, Tzeroallocator<T>>;

enum : std::uint8_t { dense = 1, indexedsparse = 2, listedsparse = 3 };

constexpr std::uint32_t sparsefulllimit = 4294967295u;

template <typename T> class Tmatrixstore {
public:
    std::uint32_t rowcap = 0, colcap = 0;
    std::uint8_t storage = dense;
    std::uint32_t itemcapacity = 0, itemcount = 0;
    std::uint32_t rows = 0, cols = 0;
    // dense: the rowcap x colcap table; sparse: the items
    Tzerovector<T> values;
    // indexed sparse: item number of every table cell, 0 for the default
    Tzerovector<std::uint32_t> index;
    // Every table cell outside rows 1..writtenrows x columns 1..writtencols
    // still holds the zero it was allocated with, so cells coming into use
    // there need no default fill.
    std::uint32_t writtenrows = 0, writtencols = 0;
    // listed sparse: row and column of each item. Indexed sparse keeps them
    // too, so that the cell of an item is found without scanning the table.
    std::vector<std::uint32_t> rowlist, collist;

    void create(std::uint32_t r, std::uint32_t c) {
        rowcap = r;
        colcap = c;
        Tzerovector<T>(std::size_t(r) * c).swap(values);
        writtenrows = writtencols = 0;
    }

    std::size_t cell(std::uint32_t r, std::uint32_t c) const {
        return std::size_t(r - 1) * colcap + (c - 1);
    }

    void setstorage(std::uint8_t k) {
        if (k == storage) return;
        if (rows != 0 || cols != 0) throw EMethodNotAvailable();
        Tzerovector<T>().swap(values);
        Tzerovector<std::uint32_t>().swap(index);
        std::vector<std::uint32_t>().swap(rowlist);
        std::vector<std::uint32_t>().swap(collist);
        storage = k;
        itemcount = 0;
        writtenrows = writtencols = 0;
        if (k == dense) {
            itemcapacity = 0;
            Tzerovector<T>(std::size_t(rowcap) * colcap).swap(values);
        } else {
            itemcapacity = 10;
            Tzerovector<T>(10).swap(values);
            rowlist.assign(10, 0);
            collist.assign(10, 0);
            if (k == indexedsparse)
                Tzerovector<std::uint32_t>(std::size_t(rowcap) * colcap).swap(index);
        }
    }

    // Reallocates the table for new capacities, keeping the cells in use.
    void setcaps(std::uint32_t r, std::uint32_t c) {
        if (storage == dense) {
            Tzerovector<T> table(std::size_t(r) * c);
            for (std::uint32_t i = 1; i <= rows; ++i)
                std::copy_n(values.begin() + cell(i, 1), cols,
                            table.begin() + std::size_t(i - 1) * c);
            values.swap(table);
        } else if (storage == indexedsparse) {
            Tzerovector<std::uint32_t> table(std::size_t(r) * c);
            for (std::uint32_t i = 1; i <= rows; ++i)
                std::copy_n(index.begin() + cell(i, 1), cols,
                            table.begin() + std::size_t(i - 1) * c);
            index.swap(table);
        }
        // Only the cells in use were copied; the rest of the new table is zero.
        writtenrows = rows;
        writtencols = cols;
        rowcap = r;
        colcap = c;
    }

    std::uint32_t finditem(std::uint32_t r, std::uint32_t c) const {
        if (storage == indexedsparse) return index[cell(r, c)];
        for (std::uint32_t k = 0; k < itemcount; ++k)
            if (rowlist[k] == r && collist[k] == c) return k + 1;
        return 0;
    }

    T get(std::uint32_t r, std::uint32_t c) const {
        if (storage == dense) return values[cell(r, c)];
        std::uint32_t k = finditem(r, c);
        return k ? values[k - 1] : T();
    }

    bool hasitem(std::uint32_t r, std::uint32_t c) const { return finditem(r, c) != 0; }

    // Default fill of the cells that come into use when (r, c) is stored.
    void fillnew(std::uint32_t r, std::uint32_t c) {
        if (storage == listedsparse) return;
        std::uint32_t nr = std::max(rows, r), nc = std::max(cols, c);
        // Cells never written since allocation are zero already.
        std::uint32_t fr = std::min(nr, writtenrows), fc = std::min(nc, writtencols);
        for (std::uint32_t i = 1; i <= fr; ++i) {
            std::uint32_t from = i <= rows ? cols + 1 : 1;
            if (from > fc) continue;
            if (storage == dense)
                std::fill(values.begin() + cell(i, from), values.begin() + cell(i, fc) + 1, T());
            else
                std::fill(index.begin() + cell(i, from), index.begin() + cell(i, fc) + 1, 0u);
        }
    }

    void markwritten(std::uint32_t r, std::uint32_t c) {
        writtenrows = std::max(writtenrows, r);
        writtencols = std::max(writtencols, c);
    }

    void resizeitems(std::uint32_t n) {
        values.resize(n, T());
        rowlist.resize(n, 0);
        collist.resize(n, 0);
        itemcapacity = n;
    }

    // Stores x at (r, c). countsasdefault tells whether x counts as the default
    // value (for indexed sparse numbers this includes tiny magnitudes);
    // exactdefault whether it equals the default (listed sparse test).
    void store(std::uint32_t r, std::uint32_t c, T x, bool countsasdefault, bool exactdefault,
               bool expandable) {
        if (expandable && (r > rowcap || c > colcap))
            setcaps(std::max(rowcap, r), std::max(colcap, c));
        if (r > rows || c > cols) fillnew(r, c);
        switch (storage) {
        case dense:
            values[cell(r, c)] = x;
            markwritten(r, c);
            break;
        case indexedsparse: {
            std::uint32_t& slot = index[cell(r, c)];
            std::uint32_t k = slot;
            if (countsasdefault) {
                if (k > 0) {
                    std::uint32_t last = itemcount;
                    // the cell holding the last item takes over number k
                    index[cell(rowlist[last - 1], collist[last - 1])] = k;
                    values[k - 1] = values[last - 1];
                    rowlist[k - 1] = rowlist[last - 1];
                    collist[k - 1] = collist[last - 1];
                    values[last - 1] = T();
                    --itemcount;
                    if (itemcapacity >= itemcount + 5) resizeitems(itemcount);
                }
                index[cell(r, c)] = 0;
            } else {
                if (k == 0) {
                    if (itemcount == sparsefulllimit) throw ESparseFull();
                    if (itemcount >= itemcapacity) resizeitems(itemcount + 5);
                    ++itemcount;
                    k = itemcount;
                    slot = k;
                    markwritten(r, c);
                    rowlist[k - 1] = r;
                    collist[k - 1] = c;
                }
                values[k - 1] = x;
            }
            break;
        }
        default: {
            std::uint32_t k = finditem(r, c);
            if (!exactdefault) {
                if (k == 0) {
                    if (itemcount == sparsefulllimit) throw ESparseFull();
                    if (itemcount >= itemcapacity) resizeitems(itemcount + 5);
                    ++itemcount;
                    k = itemcount;
                }
                values[k - 1] = x;
                rowlist[k - 1] = r;
                collist[k - 1] = c;
            } else if (k > 0) {
                for (std::uint32_t m = k; m < itemcount; ++m) {
                    values[m - 1] = values[m];
                    rowlist[m - 1] = rowlist[m];
                    collist[m - 1] = collist[m];
                }
                --itemcount;
                if (itemcapacity >= itemcount + 5) resizeitems(itemcount);
            }
            break;
        }
        }
        rows = std::max(rows, r);
        cols = std::max(cols, c);
    }

    void clear() {
        // The table of an indexed sparse matrix holds an item number only in
        // the cells of its items: zeroing those leaves all of it zero, so
        // cells coming into use later need no fill (a 3,468 x 3,468 table
        // would otherwise be filled again at every reset).
        if (storage == indexedsparse) {
            for (std::uint32_t k = 0; k < itemcount; ++k)
                index[cell(rowlist[k], collist[k])] = 0;
            writtenrows = writtencols = 0;
        }
        rows = cols = 0;
        if (storage != dense) itemcount = 0;
    }

    void insertrow(std::uint32_t r, bool expandable) {
        if (r == 0 || r > rows + 1 || (!expandable && rows == rowcap)) throw ERangeError();
        if (storage != listedsparse) {
            if (rows == rowcap) setcaps(rowcap + 1, colcap);
            if (cols > 0) {
                for (std::uint32_t i = rows; i >= r; --i)
                    for (std::uint32_t j = 1; j <= cols; ++j)
                        movecell(i, j, i + 1, j);
                for (std::uint32_t j = 1; j <= cols; ++j)
                    cleartablecell(r, j);
            }
        } else if (rows == rowcap) {
            rowcap = rowcap + 1;
        }
        if (storage != dense && cols > 0)
            for (std::uint32_t k = 0; k < itemcount; ++k)
                if (rowlist[k] >= r) ++rowlist[k];
        ++rows;
        markwritten(rows, cols);
    }

    void insertcolumn(std::uint32_t c, bool expandable) {
        if (c == 0 || c > cols + 1 || (!expandable && cols == colcap)) throw ERangeError();
        if (storage != listedsparse) {
            if (cols == colcap) setcaps(rowcap, colcap + 1);
            if (rows > 0) {
                for (std::uint32_t j = cols; j >= c; --j)
                    for (std::uint32_t i = 1; i <= rows; ++i)
                        movecell(i, j, i, j + 1);
                for (std::uint32_t i = 1; i <= rows; ++i)
                    cleartablecell(i, c);
            }
        } else if (cols == colcap) {
            colcap = colcap + 1;
        }
        if (storage != dense && rows > 0)
            for (std::uint32_t k = 0; k < itemcount; ++k)
                if (collist[k] >= c) ++collist[k];
        ++cols;
        markwritten(rows, cols);
    }

    // Exchange of two table cells (dense and indexed sparse).
    void swapcells(std::uint32_t r1, std::uint32_t c1, std::uint32_t r2, std::uint32_t c2) {
        if (storage == dense) {
            std::swap(values[cell(r1, c1)], values[cell(r2, c2)]);
        } else {
            std::uint32_t a = index[cell(r1, c1)], b = index[cell(r2, c2)];
            index[cell(r1, c1)] = b;
            index[cell(r2, c2)] = a;
            if (b) rowlist[b - 1] = r1, collist[b - 1] = c1;
            if (a) rowlist[a - 1] = r2, collist[a - 1] = c2;
        }
    }

private:
    void movecell(std::uint32_t r1, std::uint32_t c1, std::uint32_t r2, std::uint32_t c2) {
        if (storage == dense)
            values[cell(r2, c2)] = values[cell(r1, c1)];
        else
            index[cell(r2, c2)] = index[cell(r1, c1)];
    }
    void cleartablecell(std::uint32_t r, std::uint32_t c) {
        if (storage == dense)
            values[cell(r, c)] = T();
        else
            index[cell(r, c)] = 0;
    }
};

} // namespace velmora
