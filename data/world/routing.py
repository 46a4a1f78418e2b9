"""Where each country's river water goes: the transboundary table, the
routes of the water a country has left over, the Caspian Sea and the
seas. Shared by parameters.py (which caps surface irrigation at the river
water a country has and sets the Caspian's evaporation) and flows.py
(which writes the flows of the second workbook), so that both see the same
routing.

Inputs: tables/river_flows.csv (transboundary flows), tables/surplus_routes.csv
(where the water left over in a country without a sea, or with a route,
goes: the next country down its main river, or "inland" for a closed basin
whose terminal lakes and wetlands evaporate it), tables/caspian_rivers.csv
(the rivers of the coastal shore countries that reach the Caspian Sea).

A country is described by a dict with
  own       its river water (surface run-off + groundwater discharge), km3/yr
  consumed  surface irrigation that does not return to the rivers, km3/yr
  saltlake  the make-up of its salt lakes, evaporation less rain on them,
            computed by saltlake_makeup() for a given Caspian rate, km3/yr
  has_sea   whether it has a sea coast
The rules are those of data/SOURCES.md (second environment workbook).
"""
from common import read_csv

# The five shore countries of the Caspian Sea and the borders its water
# crosses between their shares: a tree rooted in Russia, which brings most
# of the water (Volga), cut between Iran and Turkmenistan.
CASPIAN_TREE = {"KAZ": "RUS", "TKM": "KAZ", "AZE": "RUS", "IRN": "AZE"}
CASPIAN_ROOT = "RUS"
CASPIAN_SHORE = ["RUS", "KAZ", "TKM", "AZE", "IRN"]
CASPIAN_LABEL = "through the Caspian Sea"


def irrigation_consumed_fraction(rain_mm, pet_mm):
    """Irrigation water that evaporates from the fields: one half where rain
    matches potential evaporation (field application efficiency is about one
    half worldwide), rising linearly to all of it at aridity 0."""
    aridity = rain_mm / pet_mm if pet_mm > 0 else 1.0
    return 1.0 - 0.5 * min(max(aridity, 0.0), 1.0)


def scale_to_supply(flows, own, taken=None):
    """Scales each country's outgoing flows down where they exceed its own
    water plus what flows in, less what it takes out of its rivers
    (irrigation, salt lakes; the table's flows are measured downstream of
    such use), upstream first (repeated until nothing changes, which also
    settles rivers that cross a border twice)."""
    taken = taken or {}
    factor = {}
    for _ in range(100):
        inflow = {}
        for (a, b), q in flows.items():
            inflow[b] = inflow.get(b, 0.0) + q * factor.get(a, 1.0)
        changed = False
        outs = {}
        for (a, b), q in flows.items():
            outs[a] = outs.get(a, 0.0) + q
        for a, out in outs.items():
            supply = max(own.get(a, 0.0) + inflow.get(a, 0.0) - taken.get(a, 0.0), 0.0)
            f = min(1.0, supply / out) if out > 0 else 1.0
            if abs(f - factor.get(a, 1.0)) > 1e-9:
                factor[a] = f
                changed = True
        if not changed:
            break
    return {k: q * factor.get(k[0], 1.0) for k, q in flows.items()}, factor


def read_tables():
    table, basis = {}, {}
    for r in read_csv("river_flows.csv"):
        a, b = r["from_iso3"], r["to_iso3"]
        table[(a, b)] = table.get((a, b), 0.0) + float(r["km3_per_yr"])
        basis.setdefault((a, b), []).append(r["river"])
    routes = {r["from_iso3"]: (r["to"], r["river"]) for r in read_csv("surplus_routes.csv")}
    named = {}
    for r in read_csv("caspian_rivers.csv"):
        named[r["iso3"]] = named.get(r["iso3"], 0.0) + float(r["km3_per_yr"])
    return table, basis, routes, named


def route(countries, makeup, tables=None):
    """Routes the river water. countries: iso3 -> dict (see the module
    text); makeup: iso3 -> salt-lake make-up (km3/yr), for the Caspian shore
    countries that of their share of the Caspian and other salt lakes.

    Returns a dict: rivers {(a, b): km3}, labels {(a, b): text}, factor
    (scaling of the table's outflows), rest {iso3: water left for the seas},
    inland {iso3: water evaporated in a closed basin}, caspian_in {iso3:
    what its rivers bring into its part of the Caspian}, deficit {iso3:
    water taken beyond what it has}. tables: the four tables of
    read_tables(), read from tables/ when not given."""
    table, basis, routes, named = tables or read_tables()
    own = {k: c["own"] for k, c in countries.items()}
    taken = {k: c["consumed"] + (0.0 if k in CASPIAN_SHORE else makeup.get(k, 0.0))
             for k, c in countries.items()}
    rivers_t, factor = scale_to_supply(table, own, taken)
    labels = {k: "; ".join(v) for k, v in basis.items()}
    extra = {}
    for _ in range(200):
        inflow, out_table = {}, {}
        for flows in (rivers_t, extra):
            for (a, b), q in flows.items():
                inflow[b] = inflow.get(b, 0.0) + q
        for (a, b), q in rivers_t.items():
            out_table[a] = out_table.get(a, 0.0) + q
        rest, inland, deficit, new_extra = {}, {}, {}, {}
        caspian_in = {}
        for iso, c in countries.items():
            taken = c["consumed"] + (0.0 if iso in CASPIAN_SHORE else makeup.get(iso, 0.0))
            out_t = out_table.get(iso, 0.0)
            left = own[iso] + inflow.get(iso, 0.0) - taken - out_t
            if left < 0:
                deficit[iso] = -left
                left = 0.0
            if iso in CASPIAN_SHORE:
                # Its rivers into the Caspian: the named ones of a country
                # with a sea coast, everything left of one without.
                into = min(named.get(iso, 0.0), left) if c["has_sea"] else left
                caspian_in[iso] = into
                left -= into
            if iso in routes and left > 0 and (not c["has_sea"] or routes[iso][0] != "inland"):
                to, river = routes[iso]
                if to == "inland":
                    inland[iso] = left
                else:
                    new_extra[(iso, to)] = left
                    labels.setdefault((iso, to), river)
                left = 0.0
            elif not c["has_sea"] and left > 0:
                inland[iso] = left
                left = 0.0
            rest[iso] = left
        done = all(abs(new_extra.get(k, 0.0) - extra.get(k, 0.0)) < 1e-12 for k in
                   set(new_extra) | set(extra))
        extra = new_extra
        if done:
            break
    rivers = dict(rivers_t)
    for k, q in extra.items():
        if k in rivers:
            labels[k] = labels[k] + "; water left over downstream"
        rivers[k] = rivers.get(k, 0.0) + q
    # The Caspian: what each share lacks or has in excess crosses to the
    # neighbouring share along the tree.
    need = {iso: makeup.get(iso, 0.0) - caspian_in.get(iso, 0.0) for iso in CASPIAN_SHORE
            if iso in countries}
    children = {}
    for child, parent in CASPIAN_TREE.items():
        children.setdefault(parent, []).append(child)

    def subtree(iso):
        return need.get(iso, 0.0) + sum(subtree(ch) for ch in children.get(iso, []))

    for child, parent in CASPIAN_TREE.items():
        q = subtree(child)  # from parent to child
        a, b = (parent, child) if q >= 0 else (child, parent)
        if abs(q) > 0:
            rivers[(a, b)] = rivers.get((a, b), 0.0) + abs(q)
            labels[(a, b)] = labels[(a, b)] + "; " + CASPIAN_LABEL if (a, b) in labels \
                else CASPIAN_LABEL
    # The root takes the rounding residual of the whole Caspian.
    root_residual = subtree(CASPIAN_ROOT)
    if CASPIAN_ROOT in rest:
        rest[CASPIAN_ROOT] -= root_residual
    return {"rivers": rivers, "labels": labels, "factor": factor, "rest": rest,
            "inland": inland, "caspian_in": caspian_in, "deficit": deficit,
            "caspian_residual": root_residual}


def caspian_rate(countries, caspian_km2, other_makeup, rain_mm):
    """The one evaporation rate E (m/yr) of the whole Caspian at which the
    rivers that reach it make up what its surface loses: the make-up of
    every share, (E - P) times its area plus that of the country's other
    salt lakes, adds up to the rivers' water. Found by bisection, since the
    inflow of a country without a sea coast is what routing leaves it."""
    def balance(e):
        makeup = saltlake_makeup(countries, caspian_km2, other_makeup, rain_mm, e)
        res = route(countries, makeup)
        return sum(res["caspian_in"].values()) - sum(makeup.get(i, 0.0) for i in CASPIAN_SHORE)

    lo, hi = 0.0, 5.0
    for _ in range(45):
        mid = 0.5 * (lo + hi)
        if balance(mid) > 0:
            lo = mid
        else:
            hi = mid
    return 0.5 * (lo + hi)


def saltlake_makeup(countries, caspian_km2, other_evap, rain_mm, e):
    """Make-up of every country's salt lakes (km3/yr): their evaporation
    (other_evap of the salt lakes other than the Caspian, km3/yr, plus e
    m/yr over its Caspian share) less the rain on them, not below 0."""
    out = {}
    for iso in countries:
        area = caspian_km2.get(iso, 0.0)
        evap = other_evap.get(iso, 0.0) + e * area * 1e-3
        rain = rain_mm.get(iso, 0.0) * 1e-6 * (area + countries[iso].get("saltlake_other_km2", 0.0))
        out[iso] = max(0.0, evap - rain)
    return out


def selftest():
    """route() on small planted worlds."""
    def world(**kw):
        return {k: {"own": v[0], "consumed": v[1], "has_sea": v[2]} for k, v in kw.items()}

    def close(a, b):
        assert abs(a - b) < 1e-9, (a, b)

    # A land-locked country's left-over water goes on down its river; the
    # coastal country downstream sends all it gets to its seas.
    tabs = ({("AAA", "BBB"): 4.0}, {("AAA", "BBB"): ["r"]}, {"AAA": ("BBB", "r")}, {})
    res = route(world(AAA=(10.0, 0.0, False), BBB=(5.0, 1.0, True)), {}, tabs)
    close(res["rivers"][("AAA", "BBB")], 10.0)
    close(res["rest"]["BBB"], 14.0)
    close(res["rest"]["AAA"], 0.0)
    # Use comes before the table's flow, which is measured downstream of it.
    res = route(world(AAA=(10.0, 8.0, False), BBB=(5.0, 0.0, True)), {}, tabs)
    close(res["rivers"][("AAA", "BBB")], 2.0)
    assert not res["deficit"], res["deficit"]
    # Taking more than there is shows as a deficit; a closed basin keeps
    # what is left over.
    tabs = ({}, {}, {"DDD": ("inland", "lake")}, {})
    res = route(world(CCC=(1.0, 3.0, True), DDD=(4.0, 1.0, False)), {"CCC": 0.5}, tabs)
    close(res["deficit"]["CCC"], 2.5)
    close(res["inland"]["DDD"], 3.0)
    # The Caspian shares feed each other along the shore: Russia's rivers
    # make up Kazakhstan's and Turkmenistan's shares.
    tabs = ({}, {}, {}, {"RUS": 10.0})
    shore = world(RUS=(50.0, 0.0, True), KAZ=(0.0, 0.0, False), TKM=(0.0, 0.0, False),
                  AZE=(0.0, 0.0, False), IRN=(0.0, 0.0, True))
    res = route(shore, {"RUS": 2.0, "KAZ": 5.0, "TKM": 3.0}, tabs)
    close(res["rivers"][("RUS", "KAZ")], 8.0)
    close(res["rivers"][("KAZ", "TKM")], 3.0)
    assert ("RUS", "AZE") not in res["rivers"], res["rivers"]
    close(res["rest"]["RUS"], 40.0)
    close(res["caspian_residual"], 0.0)
    print("routing selftest passed")


if __name__ == "__main__":
    import sys
    if sys.argv[1:] == ["--selftest"]:
        selftest()
    else:
        sys.exit("usage: routing.py --selftest (the module is used by parameters.py and flows.py)")
