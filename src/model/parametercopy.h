#pragma once
// Copies of one parameter's values, statuses and used flags into another
// parameter of the same kind (of another workspace), vector lengths
// included. They read the source through its stored values only, never with
// get, so several threads may copy from one source at once while nothing
// changes it.
#include <cstdint>

#include "model/parameters.h"

namespace velmora {

namespace parametercopydetail {
template <typename V> void copyvector(const V& from, V& to) {
    to.reset(from.count());
    for (std::uint32_t i = 1; i <= from.count(); ++i)
        to.setvalue(i, from.getvalue(i));
}
template <typename P> void copyscalar(const P& from, P& to) {
    to.value = from.value;
    to.status = from.status;
    to.used = from.used;
}
template <typename P> void copyperindex(const P& from, P& to) {
    copyvector(from.values, to.values);
    copyvector(from.statuses, to.statuses);
    copyvector(from.useds, to.useds);
}
} // namespace parametercopydetail

inline void copyparameter(const Tnumpar& from, Tnumpar& to) {
    parametercopydetail::copyscalar(from, to);
}
inline void copyparameter(const Tintpar& from, Tintpar& to) {
    parametercopydetail::copyscalar(from, to);
}
inline void copyparameter(const Tstrpar& from, Tstrpar& to) {
    parametercopydetail::copyscalar(from, to);
}
inline void copyparameter(const Tbooleanpar& from, Tbooleanpar& to) {
    parametercopydetail::copyscalar(from, to);
}
inline void copyparameter(const Tnumpars& from, Tnumpars& to) {
    parametercopydetail::copyperindex(from, to);
}
inline void copyparameter(const Tbooleanpars& from, Tbooleanpars& to) {
    parametercopydetail::copyperindex(from, to);
}
inline void copyparameter(const Tstrpars& from, Tstrpars& to) {
    parametercopydetail::copyperindex(from, to);
}

// Pairs: the stored non-zero values (the tables may be sparse), every status
// and used flag.
inline void copyparameter(const Tnumparss& from, Tnumparss& to) {
    to.values.reset(from.values.rows(), from.values.cols());
    from.values.foreachnonzero(
        [&](std::uint32_t r, std::uint32_t c, extended x) { to.values.setvalue(r, c, x); });
    to.statuses.reset(from.statuses.rows(), from.statuses.cols());
    for (std::uint32_t r = 1; r <= from.statuses.rows(); ++r)
        for (std::uint32_t c = 1; c <= from.statuses.cols(); ++c)
            to.statuses.setvalue(r, c, from.statuses.getvalue(r, c));
    to.useds.reset(from.useds.rows(), from.useds.cols());
    for (std::uint32_t r = 1; r <= from.useds.rows(); ++r)
        for (std::uint32_t c = 1; c <= from.useds.cols(); ++c)
            if (from.useds.getvalue(r, c)) to.useds.setvalue(r, c, true);
}

} // namespace velmora
