#include "numeric/vectors.h"

namespace velmora {

Tnumvector::Tnumvector(std::uint32_t n) : capacity_(n) {
    s_.resize(n);
}

Tnumvector::Tnumvector() : capacity_(5), expandable_(true) {
    s_.resize(5);
}

void Tnumvector::grow(std::uint32_t n) {
    switch (precision_) {
    case precsingle:
        s_.resize(n);
        break;
    case precdouble:
        d_.resize(n);
        break;
    default:
        e_.resize(n);
        break;
    }
    capacity_ = n;
}

void Tnumvector::fill(std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t k = from; k <= to; ++k) {
        switch (precision_) {
        case precsingle:
            s_[k - 1] = 0;
            break;
        case precdouble:
            d_[k - 1] = 0;
            break;
        default:
            e_[k - 1] = 0;
            break;
        }
    }
}

void Tnumvector::store(std::uint32_t i, extended x) {
    switch (precision_) {
    case precsingle:
        s_[i - 1] = static_cast<float>(x);
        break;
    case precdouble:
        d_[i - 1] = static_cast<double>(x);
        break;
    default:
        e_[i - 1] = x;
        break;
    }
}

void Tnumvector::setprecision(std::uint8_t p) {
    if (p < precsingle || p > precextended) throw EInvalidArgument();
    if (p == precision_) return;
    std::vector<float> s;
    std::vector<double> d;
    std::vector<extended> e;
    switch (p) {
    case precsingle:
        s.resize(capacity_);
        break;
    case precdouble:
        d.resize(capacity_);
        break;
    default:
        e.resize(capacity_);
        break;
    }
    for (std::uint32_t i = 1; i <= count_; ++i) {
        extended x = getvalue_nocheck(i);
        switch (p) {
        case precsingle:
            s[i - 1] = static_cast<float>(x);
            break;
        case precdouble:
            d[i - 1] = static_cast<double>(x);
            break;
        default:
            e[i - 1] = x;
            break;
        }
    }
    s_.swap(s);
    d_.swap(d);
    e_.swap(e);
    // The old storage is released with the swapped-out vectors.
    std::vector<float>().swap(s);
    precision_ = p;
}

void Tnumvector::setvalue(std::uint32_t i, extended x) {
    if (i == 0 || (!expandable_ && i > capacity_)) throw ERangeError();
    setvalue_nocheck(i, x);
}

void Tnumvector::setvalue_nocheck(std::uint32_t i, extended x) {
    if (expandable_ && i > capacity_) grow(i);
    if (i > count_ + 1) fill(count_ + 1, i - 1);
    if (i > count_) count_ = i;
    store(i, x);
}

extended Tnumvector::getvalue(std::uint32_t i) const {
    if (i == 0 || i > count_) throw ERangeError();
    return getvalue_nocheck(i);
}

void Tnumvector::addvalue(std::uint32_t i, extended x) {
    if (i == 0 || i > count_) throw ERangeError();
    if (x == 0) return;
    store(i, getvalue_nocheck(i) + x);
}

void Tnumvector::mulvalue(std::uint32_t i, extended x) {
    if (i == 0 || i > count_) throw ERangeError();
    if (x == 1) return;
    if (x == 0) {
        store(i, 0);
        return;
    }
    store(i, getvalue_nocheck(i) * x);
}

void Tnumvector::insertvalue(std::uint32_t i) {
    if (i == 0 || i > count_ + 1 || (count_ == capacity_ && !expandable_)) throw ERangeError();
    if (count_ == capacity_) grow(capacity_ + 1);
    for (std::uint32_t k = count_; k >= i; --k)
        store(k + 1, getvalue_nocheck(k));
    store(i, 0);
    ++count_;
}

void Tnumvector::reset(std::uint32_t n) {
    if (!expandable_ && n > capacity_) throw ERangeError();
    count_ = 0;
    if (n > 0) setvalue_nocheck(n, 0);
}

void Tnumvector::setcapacity(std::uint32_t n) {
    if (n < count_) throw ERangeError();
    grow(n);
}

} // namespace velmora
