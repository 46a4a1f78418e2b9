#include "numeric/matrices.h"

#include <cmath>
#include <cstdlib>
#include <new>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace velmora {

namespace {
// Blocks from this size on are mapped directly, in huge pages when possible.
constexpr std::size_t mappedbytes = std::size_t(4) << 20;
} // namespace

void* allocatezeroed(std::size_t bytes) {
#ifdef __linux__
    if (bytes >= mappedbytes) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        madvise(p, bytes, MADV_HUGEPAGE);
        return p;
    }
#endif
    void* p = std::calloc(bytes ? bytes : 1, 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void releasezeroed(void* p, std::size_t bytes) {
    if (!p) return;
#ifdef __linux__
    if (bytes >= mappedbytes) {
        munmap(p, bytes);
        return;
    }
#endif
    std::free(p);
}

namespace {

// Below these magnitudes a value cannot be told from 0 at the storage
// precision, so an indexed sparse store treats it as the default.
constexpr extended smallestsingle = 1.5e-45L;
constexpr extended smallestdouble = 5.0e-324L;
constexpr extended smallestextended = 3.4e-4932L;

template <typename To, typename From>
void convertstore(Tmatrixstore<To>& to, Tmatrixstore<From>& from) {
    to.rowcap = from.rowcap;
    to.colcap = from.colcap;
    to.storage = from.storage;
    to.itemcapacity = from.itemcapacity;
    to.itemcount = from.itemcount;
    to.rows = from.rows;
    to.cols = from.cols;
    to.values.assign(from.values.size(), To());
    if (from.storage == dense) {
        for (std::uint32_t i = 1; i <= from.rows; ++i)
            for (std::uint32_t j = 1; j <= from.cols; ++j)
                to.values[to.cell(i, j)] = static_cast<To>(from.values[from.cell(i, j)]);
    } else {
        for (std::uint32_t k = 0; k < from.itemcount; ++k)
            to.values[k] = static_cast<To>(from.values[k]);
    }
    to.index.swap(from.index);
    to.writtenrows = std::max(from.writtenrows, from.rows);
    to.writtencols = std::max(from.writtencols, from.cols);
    to.rowlist.swap(from.rowlist);
    to.collist.swap(from.collist);
    from = Tmatrixstore<From>();
}

} // namespace

#define VELMORA_ON_STORE(expr)                                                                     \
    switch (precision_) {                                                                          \
    case precsingle: {                                                                             \
        auto& m = s_;                                                                              \
        expr;                                                                                      \
    } break;                                                                                       \
    case precdouble: {                                                                             \
        auto& m = d_;                                                                              \
        expr;                                                                                      \
    } break;                                                                                       \
    default: {                                                                                     \
        auto& m = e_;                                                                              \
        expr;                                                                                      \
    } break;                                                                                       \
    }

Tnummatrix::Tnummatrix(std::uint32_t r, std::uint32_t c) {
    s_.create(r, c);
}

Tnummatrix::Tnummatrix() : expandable_(true) {
    s_.create(5, 5);
}

Tnummatrix::Tnummatrix(const Tnummatrix& source) : precision_(source.precision_) {
    std::uint32_t rc = source.rowcapacity(), cc = source.colcapacity();
    // A listed sparse source can have rows beyond its capacities only when
    // expandable; the copy needs room for every cell in use.
    rc = std::max(rc, source.rows());
    cc = std::max(cc, source.cols());
    VELMORA_ON_STORE(m.create(rc, cc); m.storage = dense);
    if (source.storage() != dense) setstorage(source.storage());
    for (std::uint32_t i = 1; i <= source.rows(); ++i)
        for (std::uint32_t j = 1; j <= source.cols(); ++j)
            store(i, j, source.getvalue_nocheck(i, j));
}

std::uint32_t Tnummatrix::rows_() const {
    switch (precision_) {
    case precsingle:
        return s_.rows;
    case precdouble:
        return d_.rows;
    default:
        return e_.rows;
    }
}

std::uint32_t Tnummatrix::cols_() const {
    switch (precision_) {
    case precsingle:
        return s_.cols;
    case precdouble:
        return d_.cols;
    default:
        return e_.cols;
    }
}

std::uint32_t Tnummatrix::rowcapacity() const {
    switch (precision_) {
    case precsingle:
        return s_.rowcap;
    case precdouble:
        return d_.rowcap;
    default:
        return e_.rowcap;
    }
}

std::uint32_t Tnummatrix::colcapacity() const {
    switch (precision_) {
    case precsingle:
        return s_.colcap;
    case precdouble:
        return d_.colcap;
    default:
        return e_.colcap;
    }
}

std::uint8_t Tnummatrix::storage() const {
    switch (precision_) {
    case precsingle:
        return s_.storage;
    case precdouble:
        return d_.storage;
    default:
        return e_.storage;
    }
}

std::uint32_t Tnummatrix::itemcount() const {
    switch (precision_) {
    case precsingle:
        return s_.itemcount;
    case precdouble:
        return d_.itemcount;
    default:
        return e_.itemcount;
    }
}

std::uint32_t Tnummatrix::itemcapacity() const {
    switch (precision_) {
    case precsingle:
        return s_.itemcapacity;
    case precdouble:
        return d_.itemcapacity;
    default:
        return e_.itemcapacity;
    }
}

void Tnummatrix::setprecision(std::uint8_t p) {
    if (p < precsingle || p > precextended) throw EInvalidArgument();
    if (p == precision_) return;
    auto convert = [&](auto& from) {
        switch (p) {
        case precsingle:
            convertstore(s_, from);
            break;
        case precdouble:
            convertstore(d_, from);
            break;
        default:
            convertstore(e_, from);
            break;
        }
    };
    VELMORA_ON_STORE(convert(m));
    precision_ = p;
}

void Tnummatrix::setstorage(std::uint8_t k) {
    if (k < dense || k > listedsparse) throw EInvalidArgument();
    VELMORA_ON_STORE(m.setstorage(k));
}

void Tnummatrix::store(std::uint32_t r, std::uint32_t c, extended x) {
    std::uint8_t kind = storage();
    bool exact = (x == 0);
    bool counts = exact;
    if (!counts && kind == indexedsparse) {
        extended a = std::fabs(x);
        counts = precision_ == precsingle   ? a < smallestsingle
                 : precision_ == precdouble ? a < smallestdouble
                                            : a < smallestextended;
    }
    switch (precision_) {
    case precsingle:
        s_.store(r, c, static_cast<float>(x), counts, exact, expandable_);
        break;
    case precdouble:
        d_.store(r, c, static_cast<double>(x), counts, exact, expandable_);
        break;
    default:
        e_.store(r, c, x, counts, exact, expandable_);
        break;
    }
}

void Tnummatrix::setvalue(std::uint32_t r, std::uint32_t c, extended x) {
    if (r == 0 || c == 0 || (!expandable_ && (r > rowcapacity() || c > colcapacity())))
        throw ERangeError();
    store(r, c, x);
}

void Tnummatrix::setvalue_nocheck(std::uint32_t r, std::uint32_t c, extended x) {
    store(r, c, x);
}

extended Tnummatrix::getvalue(std::uint32_t r, std::uint32_t c) const {
    checkread(r, c);
    return getvalue_nocheck(r, c);
}

bool Tnummatrix::isnonzero(std::uint32_t r, std::uint32_t c) const {
    bool result = false;
    auto test = [&](const auto& m) {
        result = m.storage == dense ? m.values[m.cell(r, c)] != 0 : m.hasitem(r, c);
    };
    VELMORA_ON_STORE(test(m));
    return result;
}

void Tnummatrix::addvalue(std::uint32_t r, std::uint32_t c, extended x) {
    checkread(r, c);
    if (x == 0) return;
    if (storage() != dense && iszero(r, c))
        store(r, c, x);
    else
        store(r, c, getvalue_nocheck(r, c) + x);
}

void Tnummatrix::mulvalue(std::uint32_t r, std::uint32_t c, extended x) {
    checkread(r, c);
    if (x == 1) return;
    if (x == 0) {
        store(r, c, 0);
        return;
    }
    if (storage() == dense || isnonzero(r, c)) store(r, c, getvalue_nocheck(r, c) * x);
}

void Tnummatrix::setcolumn(std::uint32_t c, const Tnumvector& v) {
    if (c == 0 || (!expandable_ && c > colcapacity())) throw ERangeError();
    std::uint32_t n = v.count();
    if (rows_() != 0 && rows_() != n) throw EInvalidArgument("Arrays of incompatible dimension");
    if (!expandable_ && (n > rowcapacity() || c > colcapacity())) throw ERangeError();
    if (storage() == dense) {
        auto fillcolumn = [&](auto& m) {
            using T = typename std::decay_t<decltype(m.values)>::value_type;
            if (expandable_ && (n > m.rowcap || c > m.colcap))
                m.setcaps(std::max(m.rowcap, n), std::max(m.colcap, c));
            if (m.cols == 0) {
                m.rows = n;
                if (c == 1) m.cols = 1;
            }
            if (c > m.cols) {
                for (std::uint32_t j = m.cols + 1; j < c; ++j)
                    for (std::uint32_t i = 1; i <= m.rows; ++i)
                        m.values[m.cell(i, j)] = T();
                m.cols = c;
            }
            m.markwritten(m.rows, m.cols);
            for (std::uint32_t i = 1; i <= m.rows; ++i)
                m.values[m.cell(i, c)] = static_cast<T>(v.getvalue_nocheck(i));
        };
        VELMORA_ON_STORE(fillcolumn(m));
    } else {
        // An empty matrix takes the vector's length as its rows, as the
        // dense kind does; otherwise the loop below would store nothing.
        if (rows_() == 0 && n > 0) store(n, c, 0);
        for (std::uint32_t i = 1; i <= rows_(); ++i)
            store(i, c, v.getvalue_nocheck(i));
    }
}

void Tnummatrix::getcolumn(std::uint32_t c, Tnumvector& v) const {
    if (c == 0 || (!expandable_ && c > colcapacity())) throw ERangeError();
    if (!expandable_ && v.capacity() < rows_())
        throw EInvalidArgument("Arrays of incompatible dimension");
    std::uint32_t n = rows_();
    v.reset(n);
    // A column beyond the region in use reads as the default.
    if (c > cols_()) return;
    for (std::uint32_t i = 1; i <= n; ++i)
        v.setvalue_nocheck(i, getvalue_nocheck(i, c));
}

void Tnummatrix::insertrow(std::uint32_t r) {
    VELMORA_ON_STORE(m.insertrow(r, expandable_));
}

void Tnummatrix::insertcolumn(std::uint32_t c) {
    VELMORA_ON_STORE(m.insertcolumn(c, expandable_));
}

void Tnummatrix::swaprows(std::uint32_t r1, std::uint32_t r2) {
    if (r1 == 0 || r2 == 0 || r1 > rows_() || r2 > rows_()) throw ERangeError();
    if (r1 == r2) return;
    if (storage() == listedsparse) {
        for (std::uint32_t j = 1; j <= cols_(); ++j) {
            extended a = getvalue_nocheck(r1, j), b = getvalue_nocheck(r2, j);
            store(r1, j, b);
            store(r2, j, a);
        }
        return;
    }
    VELMORA_ON_STORE(for (std::uint32_t j = 1; j <= m.cols; ++j) m.swapcells(r1, j, r2, j));
}

void Tnummatrix::swapcolumns(std::uint32_t c1, std::uint32_t c2) {
    if (c1 == 0 || c2 == 0 || c1 > cols_() || c2 > cols_()) throw ERangeError();
    if (c1 == c2) return;
    if (storage() == listedsparse) {
        for (std::uint32_t i = 1; i <= rows_(); ++i) {
            extended a = getvalue_nocheck(i, c1), b = getvalue_nocheck(i, c2);
            store(i, c1, b);
            store(i, c2, a);
        }
        return;
    }
    VELMORA_ON_STORE(for (std::uint32_t i = 1; i <= m.rows; ++i) m.swapcells(i, c1, i, c2));
}

void Tnummatrix::reset(std::uint32_t r, std::uint32_t c) {
    if (!expandable_ && (r > rowcapacity() || c > colcapacity())) throw ERangeError();
    clear();
    if (r > 0 && c > 0) {
        store(r, c, 0);
    } else {
        VELMORA_ON_STORE(m.rows = r; m.cols = c);
    }
}

void Tnummatrix::clear() {
    VELMORA_ON_STORE(m.clear());
}

void Tnummatrix::setcapacity(std::uint32_t r, std::uint32_t c) {
    if (r < rows_() || c < cols_()) throw ERangeError();
    VELMORA_ON_STORE(m.setcaps(r, c));
}

void Tnummatrix::foreachnonzero(
    const std::function<void(std::uint32_t, std::uint32_t, extended)>& f) const {
    auto walk = [&](const auto& m) {
        if (m.storage == dense) {
            for (std::uint32_t i = 1; i <= m.rows; ++i)
                for (std::uint32_t j = 1; j <= m.cols; ++j) {
                    auto x = m.values[m.cell(i, j)];
                    if (x != 0) f(i, j, x);
                }
        } else {
            for (std::uint32_t k = 0; k < m.itemcount; ++k)
                f(m.rowlist[k], m.collist[k], m.values[k]);
        }
    };
    VELMORA_ON_STORE(walk(m));
}

#undef VELMORA_ON_STORE

} // namespace velmora
