#!/usr/bin/python3
"""Checks the default world's tables against a table of published reference
figures for a stratified sample of countries and seas
(data/world/tables/reference_figures.csv), and every country's river water
balance.

For each quantity it prints the number of regions compared, the median
|ln(data / reference)|, the count off by more than a factor 2 and the
largest factor (temperatures: the median and largest difference in degC;
the sign of E - P: the count of seas with the wrong sign). Targets, which
make the exit status 1 when missed:
  catch: no sea off by more than a factor 5;
  rain, lake area and the diet items: median |ln ratio| at most 0.25;
  water: every country's river water balance within 1 % of its water
  (own plus inflow), and no land-locked country sends water to a sea.

Usage: check_world.py [--tables DIR] [--reference FILE] [--selftest]
DIR defaults to data/world/tables beside this script; FILE to
reference_figures.csv in DIR's place (so an older set of tables can be
checked against the same figures).
"""
import argparse
import csv
import math
import os
import statistics
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_TABLES = os.path.join(HERE, "world", "tables")

MEDIAN_TARGET = 0.25  # |ln ratio|, a factor 1.28
CATCH_FACTOR_TARGET = 5.0
WATER_BALANCE_TARGET = 0.01
PER_DAY = 1000.0 / 365.0  # kg/yr -> g/d


def read(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def data_value(quantity, region, countries, seas):
    """The data's value of a quantity for a region, in the reference's unit."""
    c = countries.get(region)
    s = seas.get(region)
    if quantity == "rain_mm":
        return float(c["RAINRATE"]), c["RAINRATE_prov"]
    if quantity == "lake_km2":
        return float(c["AREA_lake"]), c["AREA_lake_prov"]
    if quantity in ("meat_kg", "dairy_kg", "roots_kg"):
        name = {"meat_kg": "IH_meat", "dairy_kg": "IH_dairy", "roots_kg": "IH_rootcrops"}[quantity]
        return float(c[name]) / PER_DAY, c[name + "_prov"]
    if quantity == "fish_kg":
        return (float(c["IH_freshwaterfish"]) + float(c["IH_seafish"])) / PER_DAY, \
            c["IH_seafish_prov"]
    if quantity == "internal_water_km3":
        return float(c["WATERrunoff"]) + float(c["FLOW_soil_groundwater"]), c["WATERrunoff_prov"]
    if quantity == "catch_t":
        return float(s["CATCH_seafish"]), s["CATCH_seafish_prov"]
    if quantity == "sea_temp_c":
        return float(s["TEMP"]), s["TEMP_prov"]
    if quantity == "sea_ice":
        return float(s["Farea_seaice"]), s["Farea_seaice_prov"]
    if quantity == "sea_rain_mm":
        return float(s["RAINRATE"]), s["RAINRATE_prov"]
    raise KeyError(quantity)


def ratio_stats(pairs):
    """pairs: (data, reference). Median |ln ratio|, count beyond a factor 2,
    largest factor; a zero on one side only counts as a factor of 1000."""
    devs = []
    for d, r in pairs:
        if d > 0 and r > 0:
            devs.append(abs(math.log(d / r)))
        elif d == r:
            devs.append(0.0)
        else:
            devs.append(math.log(1000.0))
    return (statistics.median(devs), sum(1 for x in devs if x > math.log(2.0)),
            math.exp(max(devs)), devs)


def water_balance(tables):
    """Per country the river water left unaccounted for, over its water."""
    out = []
    countries = {r["iso3"]: r for r in read(os.path.join(tables, "countries.csv"))}
    for r in read(os.path.join(tables, "river_balance.csv")):
        f = lambda k: float(r.get(k) or 0.0)  # noqa: E731
        water = f("own_km3") + f("inflow_km3")
        left = water - f("taken_km3") - f("to_countries_km3") - f("to_seas_km3") - f("inland_km3")
        landlocked = countries[r["iso3"]]["landlocked"] == "1"
        out.append((r["iso3"], left, water, landlocked and f("to_seas_km3") > 0))
    return out


def e_minus_p(tables):
    return {r["sea"]: float(r["net_evaporation_m"])
            for r in read(os.path.join(tables, "sea_balance.csv"))}


def check(tables, reference, out=sys.stdout):
    countries = {r["iso3"]: r for r in read(os.path.join(tables, "country_parameters.csv"))}
    seas = {r["name"]: r for r in read(os.path.join(tables, "sea_parameters.csv"))}
    refs = read(reference)
    failed = []
    by_quantity = {}
    for r in refs:
        by_quantity.setdefault(r["quantity"], []).append(r)

    def line(text):
        print(text, file=out)

    line(f"{'quantity':<20}{'n':>4}{'median|ln|':>12}{'beyond x2':>11}{'max factor':>12}  target")
    for quantity, rows in by_quantity.items():
        if quantity == "sea_e_minus_p_sign":
            ep = e_minus_p(tables)
            wrong = [r["region"] for r in rows if (ep[r["region"]] > 0) != (float(r["value"]) > 0)]
            line(f"{quantity:<20}{len(rows):>4}  wrong sign: {len(wrong)} {', '.join(wrong)}")
            continue
        values = [(data_value(quantity, r["region"], countries, seas), float(r["value"]), r["region"])
                  for r in rows]
        if quantity == "sea_temp_c":
            diffs = [abs(d - ref) for (d, _p), ref, _n in values]
            line(f"{quantity:<20}{len(rows):>4}{statistics.median(diffs):>12.2f}"
                 f"{sum(1 for x in diffs if x > 1.0):>11}{max(diffs):>12.2f}  (degC; beyond 1 degC)")
            continue
        med, beyond, worst, devs = ratio_stats([(d, ref) for (d, _p), ref, _n in values])
        target = ""
        if quantity == "catch_t":
            target = f"max factor <= {CATCH_FACTOR_TARGET:g}"
            if worst > CATCH_FACTOR_TARGET:
                failed.append(quantity)
        elif quantity in ("rain_mm", "lake_km2", "meat_kg", "dairy_kg", "fish_kg", "roots_kg"):
            target = f"median <= {MEDIAN_TARGET:g}"
            if med > MEDIAN_TARGET:
                failed.append(quantity)
        line(f"{quantity:<20}{len(rows):>4}{med:>12.3f}{beyond:>11}{worst:>12.2f}  {target}")
        rule = [dev for ((_d, p), _r, _n), dev in zip(values, devs) if p == "rule"]
        if rule and len(rule) < len(values):
            line(f"{'  of them by rule':<20}{len(rule):>4}{statistics.median(rule):>12.3f}"
                 f"{sum(1 for x in rule if x > math.log(2.0)):>11}{math.exp(max(rule)):>12.2f}")
        off = sorted(((dev, n) for (_v, _r, n), dev in zip(values, devs)), reverse=True)
        off = [f"{n} x{math.exp(dev):.1f}" for dev, n in off if dev > math.log(2.0)]
        if off:
            line(f"{'':<20}beyond x2: {', '.join(off)}")
    balance = water_balance(tables)
    bad = [(i, left / w if w > 0 else left) for i, left, w, _ls in balance
           if abs(left) > WATER_BALANCE_TARGET * max(w, 1e-9) and abs(left) > 1e-6]
    to_sea = [i for i, _l, _w, ls in balance if ls]
    line(f"{'water balance':<20}{len(balance):>4}  off by more than 1 %: {len(bad)} "
         + ", ".join(f"{i} {x:+.2f}" for i, x in sorted(bad, key=lambda x: -abs(x[1]))[:12]))
    if bad or to_sea:
        failed.append("water")
    if to_sea:
        line(f"{'':<20}land-locked countries sending water to a sea: {', '.join(to_sea)}")
    return failed


def selftest():
    """The statistics and the targets on planted figures."""
    med, beyond, worst, _ = ratio_stats([(1.0, 1.0), (2.0, 1.0), (1.0, 4.0)])
    assert abs(med - math.log(2.0)) < 1e-12, med
    assert beyond == 1 and abs(worst - 4.0) < 1e-12, (beyond, worst)
    med, beyond, worst, _ = ratio_stats([(0.0, 5.0)])
    assert beyond == 1 and abs(worst - 1000.0) < 1e-6
    import tempfile
    with tempfile.TemporaryDirectory() as d:
        def write(name, rows):
            with open(os.path.join(d, name), "w", encoding="utf-8", newline="") as f:
                w = csv.DictWriter(f, fieldnames=list(rows[0].keys()), lineterminator="\n")
                w.writeheader()
                w.writerows(rows)
        write("countries.csv", [{"iso3": "AAA", "landlocked": "1"}])
        write("country_parameters.csv", [{"iso3": "AAA", "RAINRATE": "300", "RAINRATE_prov": "rule"}])
        write("sea_parameters.csv", [{"name": "S", "CATCH_seafish": "60", "CATCH_seafish_prov": "rule"}])
        write("river_balance.csv", [{"iso3": "AAA", "own_km3": "10", "inflow_km3": "0",
                                     "taken_km3": "1", "to_countries_km3": "5",
                                     "to_seas_km3": "0", "inland_km3": "0"}])
        write("sea_balance.csv", [{"sea": "S", "net_evaporation_m": "0.1"}])
        write("reference.csv", [{"quantity": "rain_mm", "region": "AAA", "value": "1000", "source": "x"},
                                {"quantity": "catch_t", "region": "S", "value": "10", "source": "x"}])
        import io
        failed = check(d, os.path.join(d, "reference.csv"), out=io.StringIO())
        assert set(failed) == {"rain_mm", "catch_t", "water"}, failed
    print("selftest passed")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--tables", default=DEFAULT_TABLES)
    ap.add_argument("--reference", default=os.path.join(DEFAULT_TABLES, "reference_figures.csv"))
    ap.add_argument("--selftest", action="store_true")
    a = ap.parse_args()
    if a.selftest:
        selftest()
        return 0
    failed = check(a.tables, a.reference)
    if failed:
        print("targets missed: " + ", ".join(failed))
        return 1
    print("all targets met")
    return 0


if __name__ == "__main__":
    sys.exit(main())
