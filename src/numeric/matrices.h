#pragma once
// One-based matrices with three interchangeable storage kinds (dense,
// indexed sparse, listed sparse) behind one interface.
#include <cstdint>
#include <functional>

#include "numeric/matrixstore.h"
#include "numeric/vectors.h"

namespace velmora {

class Tnummatrix {
public:
    Tnummatrix(std::uint32_t r, std::uint32_t c);  // fixed, dense, precision 1
    Tnummatrix();                                  // expandable, capacity 5 x 5
    explicit Tnummatrix(const Tnummatrix& source); // fixed copy of every cell in use
    Tnummatrix& operator=(const Tnummatrix&) = delete;

    std::uint32_t rows() const { return rows_(); }
    std::uint32_t cols() const { return cols_(); }
    std::uint32_t rowcapacity() const;
    std::uint32_t colcapacity() const;
    bool expandable() const { return expandable_; }
    std::uint8_t precision() const { return precision_; }
    std::uint8_t storage() const;
    std::uint32_t itemcount() const;
    std::uint32_t itemcapacity() const;
    std::uint32_t maxrow() const { return expandable_ ? expandablemaxindex : rowcapacity(); }
    std::uint32_t maxcol() const { return expandable_ ? expandablemaxindex : colcapacity(); }

    void setprecision(std::uint8_t p);
    void setstorage(std::uint8_t k);
    void setvalue(std::uint32_t r, std::uint32_t c, extended x);
    void setvalue_nocheck(std::uint32_t r, std::uint32_t c, extended x);
    extended getvalue(std::uint32_t r, std::uint32_t c) const;
    extended getvalue_nocheck(std::uint32_t r, std::uint32_t c) const {
        switch (precision_) {
        case precsingle:
            return s_.get(r, c);
        case precdouble:
            return d_.get(r, c);
        default:
            return e_.get(r, c);
        }
    }
    bool iszero(std::uint32_t r, std::uint32_t c) const { return !isnonzero(r, c); }
    bool isnonzero(std::uint32_t r, std::uint32_t c) const;
    void addvalue(std::uint32_t r, std::uint32_t c, extended x);
    void mulvalue(std::uint32_t r, std::uint32_t c, extended x);
    void setcolumn(std::uint32_t c, const Tnumvector& v);
    void getcolumn(std::uint32_t c, Tnumvector& v) const;
    void insertrow(std::uint32_t r);
    void insertcolumn(std::uint32_t c);
    void swaprows(std::uint32_t r1, std::uint32_t r2);
    void swapcolumns(std::uint32_t c1, std::uint32_t c2);
    void reset(std::uint32_t r, std::uint32_t c);
    void clear();
    void setcapacity(std::uint32_t r, std::uint32_t c);

    // Calls f(row, column, value) for every stored non-zero cell: for dense
    // storage row by row over the region in use, for the sparse kinds in item
    // order. The inner loops of the matrix library use it to skip zeros.
    void foreachnonzero(const std::function<void(std::uint32_t, std::uint32_t, extended)>& f) const;

    // Direct access to the table of a dense single-precision matrix, for the
    // inner loops of the solvers: cell (r, c) is at (r - 1) * colcapacity() +
    // (c - 1). Only meaningful while storage() is dense and precision() is 1;
    // writing through it changes neither rows nor cols.
    // The caller may write any cell in use through it.
    float* singletable() {
        s_.markwritten(s_.rows, s_.cols);
        return s_.values.data();
    }
    const float* singletable() const { return s_.values.data(); }

private:
    std::uint32_t rows_() const;
    std::uint32_t cols_() const;
    void store(std::uint32_t r, std::uint32_t c, extended x);
    void checkread(std::uint32_t r, std::uint32_t c) const {
        if (r == 0 || c == 0 || r > rows_() || c > cols_()) throw ERangeError();
    }

    bool expandable_ = false;
    std::uint8_t precision_ = precsingle;
    Tmatrixstore<float> s_;
    Tmatrixstore<double> d_;
    Tmatrixstore<extended> e_;
};

// Matrices of status letters (default ' ') and of flags (default false).
template <typename T> class Tsimplematrix {
public:
    Tsimplematrix(std::uint32_t r, std::uint32_t c, T def) : default_(def), fill_(def) {
        create(r, c);
    }
    explicit Tsimplematrix(T def) : expandable_(true), default_(def), fill_(def) { create(5, 5); }
    Tsimplematrix(const Tsimplematrix&) = delete;
    Tsimplematrix& operator=(const Tsimplematrix&) = delete;

    std::uint32_t rows() const { return m_.rows; }
    std::uint32_t cols() const { return m_.cols; }
    std::uint32_t rowcapacity() const { return m_.rowcap; }
    std::uint32_t colcapacity() const { return m_.colcap; }
    bool expandable() const { return expandable_; }
    std::uint8_t storage() const { return m_.storage; }
    std::uint32_t itemcount() const { return m_.itemcount; }

    // The value that cells of a dense table hold when they come into use
    // without being set (the default unless changed). A pair parameter's
    // status table starts with every pair unknown, in one sweep of zero
    // pages instead of millions of stores. Only while nothing is in use.
    void setfillvalue(T x) {
        if (m_.rows != 0 || m_.cols != 0 || m_.storage != dense) throw EMethodNotAvailable();
        fill_ = x;
        m_.create(m_.rowcap, m_.colcap);
    }

    void setstorage(std::uint8_t k) {
        if (k < dense || k > listedsparse) throw EInvalidArgument();
        m_.setstorage(k);
    }
    void setvalue(std::uint32_t r, std::uint32_t c, T x) {
        if (r == 0 || c == 0 || (!expandable_ && (r > m_.rowcap || c > m_.colcap)))
            throw ERangeError();
        setvalue_nocheck(r, c, x);
    }
    void setvalue_nocheck(std::uint32_t r, std::uint32_t c, T x) {
        bool isdef = encode(x) == encode(default_);
        m_.store(r, c, encode(x), isdef, isdef, expandable_);
    }
    T getvalue(std::uint32_t r, std::uint32_t c) const {
        if (r == 0 || c == 0 || r > m_.rows || c > m_.cols) throw ERangeError();
        return getvalue_nocheck(r, c);
    }
    T getvalue_nocheck(std::uint32_t r, std::uint32_t c) const {
        if (m_.storage == dense) return decode(m_.values[m_.cell(r, c)]);
        std::uint32_t k = m_.finditem(r, c);
        return k ? decode(m_.values[k - 1]) : default_;
    }
    void reset(std::uint32_t r, std::uint32_t c) {
        if (!expandable_ && (r > m_.rowcap || c > m_.colcap)) throw ERangeError();
        clear();
        if (r > 0 && c > 0)
            setvalue_nocheck(r, c, m_.storage == dense ? fill_ : default_);
        else {
            m_.rows = r;
            m_.cols = c;
        }
    }
    void clear() { m_.clear(); }
    void setcapacity(std::uint32_t r, std::uint32_t c) {
        if (r < m_.rows || c < m_.cols) throw ERangeError();
        m_.setcaps(r, c);
    }
    // Sets every cell of an r x c region to x in one sweep (dense storage
    // only; the other kinds store cell by cell).
    void fillall(std::uint32_t r, std::uint32_t c, T x) {
        reset(r, c);
        // The reset left every cell at the fill value.
        if (encode(x) == 0 && (m_.storage == dense || fill_ == default_)) return;
        if (m_.storage == dense && r > 0 && c > 0) {
            m_.markwritten(r, c);
            for (std::uint32_t i = 1; i <= r; ++i)
                std::fill_n(m_.values.begin() + m_.cell(i, 1), c, encode(x));
        } else if (m_.storage != dense && !(encode(x) == encode(default_))) {
            for (std::uint32_t i = 1; i <= r; ++i)
                for (std::uint32_t j = 1; j <= c; ++j)
                    setvalue_nocheck(i, j, x);
        }
    }

private:
    // Dense tables are value-initialised to 0 by the store; the default of a
    // character matrix is a space, so the table is encoded relative to it.
    using E = std::uint8_t;
    E encode(T x) const { return static_cast<E>(x) ^ static_cast<E>(fill_); }
    T decode(E e) const { return static_cast<T>(static_cast<E>(e ^ static_cast<E>(fill_))); }
    void create(std::uint32_t r, std::uint32_t c) { m_.create(r, c); }

    bool expandable_ = false;
    T default_;
    T fill_;
    Tmatrixstore<E> m_;
};

class Tcharmatrix : public Tsimplematrix<char> {
public:
    Tcharmatrix(std::uint32_t r, std::uint32_t c) : Tsimplematrix(r, c, ' ') {}
    Tcharmatrix() : Tsimplematrix(' ') {}
};

class Tbooleanmatrix : public Tsimplematrix<bool> {
public:
    Tbooleanmatrix(std::uint32_t r, std::uint32_t c) : Tsimplematrix(r, c, false) {}
    Tbooleanmatrix() : Tsimplematrix(false) {}
};

} // namespace velmora
