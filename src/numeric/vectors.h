#pragma once
// One-based growable vectors. A vector tells the elements in use (count) from
// the elements allocated (capacity); elements that come into use without
// being set hold the default value; the argument-less constructor makes a
// vector that grows on demand, exactly to the index stored.
#include <cstdint>
#include <string>
#include <vector>

#include "numeric/errors.h"

namespace velmora {

using extended = long double;

// Storage precision codes shared by vectors and matrices.
enum : std::uint8_t { precsingle = 1, precdouble = 2, precextended = 3 };

constexpr std::uint32_t expandablemaxindex = 2147483647u;

class Tnumvector {
public:
    explicit Tnumvector(std::uint32_t n);
    Tnumvector(); // expandable, capacity 5
    Tnumvector(const Tnumvector&) = delete;
    Tnumvector& operator=(const Tnumvector&) = delete;

    std::uint32_t count() const { return count_; }
    std::uint32_t capacity() const { return capacity_; }
    bool expandable() const { return expandable_; }
    std::uint8_t precision() const { return precision_; }
    std::uint32_t maxindex() const { return expandable_ ? expandablemaxindex : capacity_; }

    void setprecision(std::uint8_t p);
    void setvalue(std::uint32_t i, extended x);
    void setvalue_nocheck(std::uint32_t i, extended x);
    extended getvalue(std::uint32_t i) const;
    extended getvalue_nocheck(std::uint32_t i) const {
        switch (precision_) {
        case precsingle:
            return s_[i - 1];
        case precdouble:
            return d_[i - 1];
        default:
            return e_[i - 1];
        }
    }
    bool isnonzero(std::uint32_t i) const { return getvalue_nocheck(i) != 0; }
    void addvalue(std::uint32_t i, extended x);
    void mulvalue(std::uint32_t i, extended x);
    void insertvalue(std::uint32_t i);
    void reset(std::uint32_t n);
    void clear() { count_ = 0; }
    void setcapacity(std::uint32_t n);

    // Direct access to the single-precision elements for inner loops; only
    // valid at precision 1. Element i is at index i - 1.
    float* singledata() { return s_.data(); }
    const float* singledata() const { return s_.data(); }

private:
    void grow(std::uint32_t n);
    void fill(std::uint32_t from, std::uint32_t to); // default value into from..to
    void store(std::uint32_t i, extended x);

    std::uint32_t capacity_ = 0;
    bool expandable_ = false;
    std::uint8_t precision_ = precsingle;
    std::vector<float> s_;
    std::vector<double> d_;
    std::vector<extended> e_;
    std::uint32_t count_ = 0;
};

// Shared shape of the vectors of integers, counts, strings, characters and
// flags: same growth and range rules, their own element and default.

template <typename T> class Tbasicvector {
public:
    explicit Tbasicvector(std::uint32_t n, T def) : capacity_(n), default_(def), items_(n, def) {}
    explicit Tbasicvector(T def) : capacity_(5), expandable_(true), default_(def), items_(5, def) {}
    Tbasicvector(const Tbasicvector&) = delete;
    Tbasicvector& operator=(const Tbasicvector&) = delete;

    std::uint32_t count() const { return count_; }
    std::uint32_t capacity() const { return capacity_; }
    bool expandable() const { return expandable_; }
    std::uint32_t maxindex() const { return expandable_ ? expandablemaxindex : capacity_; }
    const T& defaultvalue() const { return default_; }

    void setvalue(std::uint32_t i, const T& x) {
        if (i == 0 || (!expandable_ && i > capacity_)) throw ERangeError();
        setvalue_nocheck(i, x);
    }
    void setvalue_nocheck(std::uint32_t i, const T& x) {
        if (expandable_ && i > capacity_) setcapacity(i);
        for (std::uint32_t k = count_ + 1; k < i; ++k)
            items_[k - 1] = default_;
        if (i > count_) count_ = i;
        items_[i - 1] = x;
    }
    T getvalue(std::uint32_t i) const {
        if (i == 0 || i > count_) throw ERangeError();
        return items_[i - 1];
    }
    T getvalue_nocheck(std::uint32_t i) const { return items_[i - 1]; }
    void reset(std::uint32_t n) {
        if (!expandable_ && n > capacity_) throw ERangeError();
        count_ = 0;
        if (n > 0) setvalue_nocheck(n, default_);
    }
    void clear() { count_ = 0; }
    void setcapacity(std::uint32_t n) {
        if (n < count_) throw ERangeError();
        capacity_ = n;
        items_.resize(n, default_);
    }
    // Number of elements 1..count that differ from the default.
    std::uint32_t countnondefault() const {
        std::uint32_t k = 0;
        for (std::uint32_t i = 0; i < count_; ++i)
            if (!(items_[i] == default_)) ++k;
        return k;
    }

protected:
    std::uint32_t capacity_ = 0;
    bool expandable_ = false;
    T default_;
    std::vector<T> items_;
    std::uint32_t count_ = 0;
};

class Tintvector : public Tbasicvector<std::int32_t> {
public:
    explicit Tintvector(std::uint32_t n) : Tbasicvector(n, 0) {}
    static constexpr std::uint8_t widthcode = 3;
};

class Tcountvector : public Tbasicvector<std::uint32_t> {
public:
    explicit Tcountvector(std::uint32_t n) : Tbasicvector(n, 0u) {}
    Tcountvector() : Tbasicvector(0u) {}
    static constexpr std::uint8_t widthcode = 3;
    // Adds a signed amount with unsigned wrap-around.
    void addvalue(std::uint32_t i, std::int32_t k) {
        if (i == 0 || i > count_) throw ERangeError();
        if (k == 0) return;
        items_[i - 1] += static_cast<std::uint32_t>(k);
    }
};

class Tstrvector : public Tbasicvector<std::string> {
public:
    explicit Tstrvector(std::uint32_t n) : Tbasicvector(n, std::string()) {}
    Tstrvector() : Tbasicvector(std::string()) {}
};

class Tcharvector : public Tbasicvector<char> {
public:
    explicit Tcharvector(std::uint32_t n) : Tbasicvector(n, ' ') {}
    Tcharvector() : Tbasicvector(' ') {}
};

class Tbooleanvector : public Tbasicvector<bool> {
public:
    explicit Tbooleanvector(std::uint32_t n) : Tbasicvector(n, false) {}
    Tbooleanvector() : Tbasicvector(false) {}
};

} // namespace velmora
