"""Water flows between the regions, in km3/yr: rivers from country to
country and from countries into the seas, groundwater along the same
paths, and the exchange of water between adjacent seas.

Inputs: tables/river_flows.csv, tables/river_mouths.csv and
tables/caspian_rivers.csv (hand-entered mean discharges),
tables/surplus_routes.csv and tables/sea_outlets.csv (where left-over
water goes; read with routing.py), tables/sea_exchanges.csv (published circulation
figures), tables/land_borders.csv, tables/coast_seas.csv,
tables/sea_borders.csv (borders.py), tables/country_parameters.csv and
tables/sea_parameters.csv (the first workbook's values).
Outputs: tables/flows_river_river.csv, tables/flows_river_sea.csv,
tables/flows_groundwater.csv, tables/flows_sea_sea.csv,
tables/river_balance.csv, tables/sea_balance.csv.

The rules are those of data/SOURCES.md (second environment workbook).
"""
import numpy as np

import routing
from common import fmt, read_csv, write_csv

SV = 31536.0  # km3/yr in one sverdrup (1e6 m3/s)
# Submarine discharge of fresh groundwater is put at 1-6 % of the river
# discharge in the global estimates; transboundary aquifers along rivers
# carry a comparable share of the river flow. Both take 2 %.
GW_SEA_FRACTION = 0.02
GW_BORDER_FRACTION = 0.02
# Exchange between adjacent seas without a published figure: a mean
# exchange velocity across the water part of their boundary over the mixed
# layer (the smaller MIXDEPTH_seawater of the two).
EXCHANGE_VELOCITY = 0.01  # m/s
# Net evaporation less precipitation (m/yr) where it is published; the
# other seas share what is left of the world ocean's fresh-water budget in
# proportion to their area.
EVAPORATION = {
    "Western Mediterranean Sea": 0.7, "Eastern Mediterranean Sea": 0.7, "Adriatic Sea": 0.7,
    "Aegean Sea": 0.7, "Red Sea": 2.0, "Persian Gulf": 1.6, "Black Sea": 0.1, "Baltic Sea": -0.1,
}


def num(s):
    return float(s) if s not in ("", None) else 0.0


def river_budgets(cp):
    """Each country as routing.route() reads it, and the make-up of its salt
    lakes (evaporation less the rain on them, as the program computes it)."""
    countries, makeup = {}, {}
    for r in cp:
        iso = r["iso3"]
        pet = num(r["EVAPrate_lake"]) * 1000.0  # m/yr -> mm/yr
        frac = routing.irrigation_consumed_fraction(num(r["RAINRATE"]), pet)
        countries[iso] = {"own": num(r["WATERrunoff"]) + num(r["FLOW_groundwater_river"]),
                          "consumed": frac * num(r["FLOW_river_agr"]),
                          "has_sea": LANDLOCKED.get(iso) == "0"}
        rain_on_salt = num(r["RAINRATE"]) * num(r["AREA_saltlake"]) * 1e-6  # mm * km2 -> km3
        makeup[iso] = max(0.0, num(r["EVAP_saltlake"]) - rain_on_salt)
    return countries, makeup


LANDLOCKED = {}


def main():
    countries = read_csv("countries.csv")
    name = {c["iso3"]: c["name"] for c in countries}
    cp = read_csv("country_parameters.csv")
    LANDLOCKED.update({c["iso3"]: c["landlocked"] for c in countries})
    budget, makeup = river_budgets(cp)
    recharge = {r["iso3"]: num(r["FLOW_soil_groundwater"]) for r in cp}
    gw_used = {r["iso3"]: num(r["FLOW_groundwater_river"]) + num(r["FLOW_groundwater_agr"])
               for r in cp}
    borders = {tuple(sorted((r["iso3_a"], r["iso3_b"]))) for r in read_csv("land_borders.csv")}
    coast = {}
    for r in read_csv("coast_seas.csv"):
        coast.setdefault(r["iso3"], {})[r["sea"]] = num(r["km"])
    for iso, c in budget.items():
        if c["has_sea"] != bool(coast.get(iso)):
            raise SystemExit(f"{iso}: land-locked flag and coastline disagree")
    outlets = {}
    for r in read_csv("sea_outlets.csv"):
        if r["sea"] not in coast.get(r["iso3"], {}):
            raise SystemExit(f"outlet on a sea the country does not border: {r}")
        outlets.setdefault(r["iso3"], set()).add(r["sea"])

    # Rivers between countries: the table (scaled to the water there is),
    # the water left over in countries without a sea, along their main
    # river, and the water that crosses the Caspian between shore countries.
    res = routing.route(budget, makeup)
    rivers, factor, table = res["rivers"], res["factor"], routing.read_tables()[0]
    for a, b in rivers:
        if tuple(sorted((a, b))) not in borders:
            raise SystemExit(f"river flow without a border: {res['labels'][(a, b)]} {a}->{b}")
    inflow, outflow = {}, {}
    for (a, b), q in rivers.items():
        inflow[b] = inflow.get(b, 0.0) + q
        outflow[a] = outflow.get(a, 0.0) + q
    write_csv("flows_river_river.csv", ["from_iso3", "from", "to_iso3", "to", "km3_per_yr",
                                        "table_km3_per_yr", "rivers"],
              [{"from_iso3": a, "from": name[a], "to_iso3": b, "to": name[b],
                "km3_per_yr": fmt(q, 7), "table_km3_per_yr": fmt(table.get((a, b), 0.0), 7),
                "rivers": res["labels"][(a, b)]}
               for (a, b), q in sorted(rivers.items(), key=lambda x: (name[x[0][0]],
                                                                       name[x[0][1]]))
               if q > 0])

    # Rivers into the seas: what is left, named mouths first, then the
    # country's seas (its outlet seas where they are named) by coastline.
    mouths = {}
    for r in read_csv("river_mouths.csv"):
        if r["sea"] not in coast.get(r["iso3"], {}):
            raise SystemExit(f"river mouth on a sea the country does not border: {r}")
        mouths.setdefault(r["iso3"], []).append((r["sea"], num(r["km3_per_yr"]), r["river"]))
    to_sea = {}
    balance_rows = []
    for c in countries:
        iso = c["iso3"]
        left = res["rest"].get(iso, 0.0)
        seas = {s: km for s, km in coast.get(iso, {}).items()
                if iso not in outlets or s in outlets[iso]}
        named = mouths.get(iso, [])
        named_total = sum(q for _s, q, _r in named)
        f = min(1.0, left / named_total) if named_total > 0 else 0.0
        rest = left - f * named_total
        length = sum(seas.values())
        for sea, q, _r in named:
            to_sea[(iso, sea)] = to_sea.get((iso, sea), 0.0) + f * q
        for sea, km in seas.items():
            if length > 0 and rest > 0:
                to_sea[(iso, sea)] = to_sea.get((iso, sea), 0.0) + rest * km / length
        own = budget[iso]["own"]
        taken = budget[iso]["consumed"] + makeup[iso]
        inland = res["inland"].get(iso, 0.0)
        residual = own + inflow.get(iso, 0.0) - taken - outflow.get(iso, 0.0) - left - inland
        balance_rows.append({
            "iso3": iso, "name": name[iso], "own_km3": fmt(own, 7),
            "inflow_km3": fmt(inflow.get(iso, 0.0), 7),
            "taken_km3": fmt(taken, 7),
            "to_countries_km3": fmt(outflow.get(iso, 0.0), 7), "to_seas_km3": fmt(left, 7),
            "inland_km3": fmt(inland, 7),
            "residual_km3": fmt(residual, 4),
            "scaled": fmt(factor.get(iso, 1.0), 5)})
    write_csv("river_balance.csv", list(balance_rows[0].keys()), balance_rows)
    write_csv("flows_river_sea.csv", ["iso3", "name", "sea", "km3_per_yr"],
              [{"iso3": i, "name": name[i], "sea": s, "km3_per_yr": fmt(q, 7)}
               for (i, s), q in sorted(to_sea.items(), key=lambda x: (name[x[0][0]], x[0][1]))
               if q > 0])

    # Groundwater: a share of the surface flows, within each country's
    # groundwater budget (recharge less what rivers and irrigation take).
    gw = {("c", a, b): GW_BORDER_FRACTION * q for (a, b), q in rivers.items() if q > 0}
    gw.update({("s", i, s): GW_SEA_FRACTION * q for (i, s), q in to_sea.items() if q > 0})
    gw_factor = {}
    for _ in range(100):
        gin = {}
        for (k, a, b), q in gw.items():
            if k == "c":
                gin[b] = gin.get(b, 0.0) + q * gw_factor.get(a, 1.0)
        gout = {}
        for (k, a, b), q in gw.items():
            gout[a] = gout.get(a, 0.0) + q
        changed = False
        for a, out in gout.items():
            spare = max(0.0, recharge.get(a, 0.0) - gw_used.get(a, 0.0)) + gin.get(a, 0.0)
            f = min(1.0, spare / out) if out > 0 else 1.0
            if abs(f - gw_factor.get(a, 1.0)) > 1e-9:
                gw_factor[a] = f
                changed = True
        if not changed:
            break
    gw = {k: q * gw_factor.get(k[1], 1.0) for k, q in gw.items()}
    write_csv("flows_groundwater.csv", ["kind", "from_iso3", "from", "to", "km3_per_yr"],
              [{"kind": "country" if k == "c" else "sea", "from_iso3": a, "from": name[a],
                "to": name[b] if k == "c" else b, "km3_per_yr": fmt(q, 7)}
               for (k, a, b), q in sorted(gw.items()) if q > 0])

    # Seas.
    seas = read_csv("sea_parameters.csv")
    sea_names = [s["name"] for s in seas]
    sidx = {n: k for k, n in enumerate(sea_names)}
    area = np.array([num(s["SYSTEMAREA"]) for s in seas])
    mix = np.array([num(s["MIXDEPTH_seawater"]) for s in seas])
    n = len(seas)
    wet = np.zeros((n, n))
    adjacent = set()
    for r in read_csv("sea_borders.csv"):
        i, j = sidx[r["sea_a"]], sidx[r["sea_b"]]
        wet[i, j] = wet[j, i] = num(r["water_km"])
        if num(r["km"]) > 0:
            adjacent.add((min(i, j), max(i, j)))
    flow = np.zeros((n, n))
    part = {}
    published_pairs = set()
    for r in read_csv("sea_exchanges.csv"):
        i, j = sidx[r["from"]], sidx[r["to"]]
        if (min(i, j), max(i, j)) not in adjacent:
            raise SystemExit(f"published exchange between seas without a border: {r}")
        q = num(r["sverdrup"]) * SV if r["sverdrup"] else num(r["km3_per_yr"])
        flow[i, j] += q
        part[(i, j)] = "published"
        published_pairs.add((min(i, j), max(i, j)))
    for i in range(n):
        for j in range(i + 1, n):
            if (i, j) in published_pairs or wet[i, j] <= 0:
                continue
            q = EXCHANGE_VELOCITY * wet[i, j] * 1e3 * min(mix[i], mix[j]) * SV / 1e6
            flow[i, j] += q
            flow[j, i] += q
            part[(i, j)] = part[(j, i)] = "exchange rule"
    river_in = np.zeros(n)
    for (_iso, s), q in to_sea.items():
        river_in[sidx[s]] += q
    gw_in = np.zeros(n)
    for (k, _a, b), q in gw.items():
        if k == "s":
            gw_in[sidx[b]] += q
    fresh = river_in + gw_in
    evap = np.zeros(n)
    fixed = np.zeros(n, dtype=bool)
    for s, e in EVAPORATION.items():
        evap[sidx[s]] = e * area[sidx[s]] * 1e-3  # m * km2 -> km3
        fixed[sidx[s]] = True
    # Elsewhere E - P: an evaporation that grows with the sea surface
    # temperature (bulk formula shape: 0.1 m/yr at 0 degC and below, 0.06
    # m/yr more per degree), times one factor for the whole ocean, less the
    # sea's own rain; the factor makes the world ocean balance its fresh
    # water (rivers and groundwater). Rain-rich seas (the Arctic, the Bay of
    # Bengal, the Southern Ocean) then gain water, warm dry ones lose it.
    temp = np.array([num(s["TEMP"]) for s in seas])
    rain = np.array([num(s["RAINRATE"]) for s in seas]) * 1e-3  # m/yr
    e_shape = np.maximum(0.1, 0.1 + 0.06 * temp) * area * 1e-3  # km3/yr
    p_km3 = rain * area * 1e-3
    rest = fresh.sum() - evap[fixed].sum()
    k = (rest + p_km3[~fixed].sum()) / e_shape[~fixed].sum()
    evap[~fixed] = k * e_shape[~fixed] - p_km3[~fixed]
    print(f"sea evaporation factor {k:.3f}")
    # Net flows that close every sea's balance, spread over the water
    # boundaries like currents in a network of conductances (boundary
    # lengths): the smallest such flows in the least-squares sense.
    supply = fresh - evap + flow.sum(axis=0) - flow.sum(axis=1)
    lap = np.diag(wet.sum(axis=1)) - wet
    pot = np.linalg.lstsq(lap, supply, rcond=None)[0]
    for i in range(n):
        for j in range(i + 1, n):
            if wet[i, j] <= 0:
                continue
            f = wet[i, j] * (pot[i] - pot[j])
            if f > 0:
                flow[i, j] += f
            else:
                flow[j, i] += -f
            if (i, j) not in part:
                part[(i, j)] = part[(j, i)] = "balance"
    rows = []
    for i in range(n):
        for j in range(n):
            if flow[i, j] > 0:
                rows.append({"from_row": 16 + i, "from": sea_names[i], "to_row": 16 + j,
                             "to": sea_names[j], "km3_per_yr": fmt(flow[i, j], 9),
                             "sverdrup": fmt(flow[i, j] / SV, 5),
                             "basis": part.get((i, j), "balance")})
    write_csv("flows_sea_sea.csv", list(rows[0].keys()), rows)
    brows = []
    for i in range(n):
        inflow_s = flow[:, i].sum()
        outflow_s = flow[i, :].sum()
        residual = inflow_s + fresh[i] - outflow_s
        brows.append({"row": 16 + i, "sea": sea_names[i], "area_km2": fmt(area[i], 7),
                      "rivers_km3": fmt(river_in[i], 7), "groundwater_km3": fmt(gw_in[i], 7),
                      "inflow_km3": fmt(inflow_s, 9), "outflow_km3": fmt(outflow_s, 9),
                      "net_evaporation_km3": fmt(evap[i], 7),
                      "net_evaporation_m": fmt(evap[i] / area[i] * 1e3, 4),
                      "basis": "published" if fixed[i] else "temperature rule less rain",
                      "residual_km3": fmt(residual - evap[i], 3)})
    write_csv("sea_balance.csv", list(brows[0].keys()), brows)


if __name__ == "__main__":
    main()
