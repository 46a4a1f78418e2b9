#pragma once
// Restore points for all-or-nothing imports: a copy of one parameter's
// values, statuses and used flags; calling the result puts them back
// exactly, vector lengths included. An import that fails or is cancelled
// calls them, so the user keeps the model as it was.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/parameters.h"

namespace velmora {

namespace restorepointdetail {

template <typename P, typename V> std::function<void()> keepvector(P& p) {
    std::vector<V> values;
    std::vector<char> statuses;
    std::vector<bool> useds;
    for (std::uint32_t i = 1; i <= p.values.count(); ++i)
        values.push_back(static_cast<V>(p.values.getvalue(i)));
    for (std::uint32_t i = 1; i <= p.statuses.count(); ++i)
        statuses.push_back(p.statuses.getvalue(i));
    for (std::uint32_t i = 1; i <= p.useds.count(); ++i)
        useds.push_back(p.useds.getvalue(i));
    return
        [&p, values = std::move(values), statuses = std::move(statuses), useds = std::move(useds)] {
            auto n = [](std::size_t k) { return static_cast<std::uint32_t>(k); };
            p.values.reset(n(values.size()));
            for (std::size_t k = 0; k < values.size(); ++k)
                p.values.setvalue(n(k + 1), values[k]);
            p.statuses.reset(n(statuses.size()));
            for (std::size_t k = 0; k < statuses.size(); ++k)
                p.statuses.setvalue(n(k + 1), statuses[k]);
            p.useds.reset(n(useds.size()));
            for (std::size_t k = 0; k < useds.size(); ++k)
                p.useds.setvalue(n(k + 1), useds[k]);
        };
}

template <typename P> std::function<void()> keepscalar(P& p) {
    return [&p, value = p.value, status = p.status, used = p.used] {
        p.value = value;
        p.status = status;
        p.used = used;
    };
}

} // namespace restorepointdetail

inline std::function<void()> restorepoint(Tnumpars* p) {
    return restorepointdetail::keepvector<Tnumpars, double>(*p);
}
inline std::function<void()> restorepoint(Tbooleanpars* p) {
    return restorepointdetail::keepvector<Tbooleanpars, bool>(*p);
}
inline std::function<void()> restorepoint(Tstrpars* p) {
    return restorepointdetail::keepvector<Tstrpars, std::string>(*p);
}
inline std::function<void()> restorepoint(Tnumpar* p) {
    return restorepointdetail::keepscalar(*p);
}
inline std::function<void()> restorepoint(Tintpar* p) {
    return restorepointdetail::keepscalar(*p);
}
inline std::function<void()> restorepoint(Tstrpar* p) {
    return restorepointdetail::keepscalar(*p);
}
inline std::function<void()> restorepoint(Tbooleanpar* p) {
    return restorepointdetail::keepscalar(*p);
}

// Pairs: the non-zero values only (the tables may be sparse), every status
// and the used flags that are set.
inline std::function<void()> restorepoint(Tnumparss* p) {
    struct Tcell {
        std::uint32_t r, c;
        extended x;
    };
    std::vector<Tcell> values;
    p->values.foreachnonzero([&](std::uint32_t r, std::uint32_t c, extended x) {
        values.push_back({r, c, x});
    });
    std::uint32_t rows = p->values.rows(), cols = p->values.cols();
    std::uint32_t srows = p->statuses.rows(), scols = p->statuses.cols();
    std::vector<char> statuses;
    statuses.reserve(static_cast<std::size_t>(srows) * scols);
    for (std::uint32_t r = 1; r <= srows; ++r)
        for (std::uint32_t c = 1; c <= scols; ++c)
            statuses.push_back(p->statuses.getvalue(r, c));
    std::uint32_t urows = p->useds.rows(), ucols = p->useds.cols();
    std::vector<std::pair<std::uint32_t, std::uint32_t>> useds;
    for (std::uint32_t r = 1; r <= urows; ++r)
        for (std::uint32_t c = 1; c <= ucols; ++c)
            if (p->useds.getvalue(r, c)) useds.emplace_back(r, c);
    return
        [=, values = std::move(values), statuses = std::move(statuses), useds = std::move(useds)] {
            p->values.reset(rows, cols);
            for (const Tcell& v : values)
                p->values.setvalue(v.r, v.c, v.x);
            p->statuses.reset(srows, scols);
            std::size_t k = 0;
            for (std::uint32_t r = 1; r <= srows; ++r)
                for (std::uint32_t c = 1; c <= scols; ++c)
                    p->statuses.setvalue(r, c, statuses[k++]);
            p->useds.reset(urows, ucols);
            for (const auto& [r, c] : useds)
                p->useds.setvalue(r, c, true);
        };
}

} // namespace velmora
