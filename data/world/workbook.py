"""Writes the sheet grids of the first environment workbook from the tables:
data/workbooks/ENVDATA2part1.manifest and data/workbooks/ENVDATA2part1/*.csv.

CSV row i is sheet row i and field j is sheet column j. Rows 1-9 carry a
title and notes, row 10 the column headers (parameter names from column 2
on), row 11 the units, row 12 a description, row 13 the provenance of each
column; the regions start at row 16 (239 countries, 50 seas), followed by
one group row per distinct continent, UNDP region code and GLO value on the
country sheet and per ocean on the sea sheet, aggregated from the members.
"""
import csv
import math
import os

from common import HERE, fmt, read_csv
from parameters import PARAMETERS

WORKBOOKS = os.path.normpath(os.path.join(HERE, "..", "workbooks"))
GROUPINGS = ["undp", "glo", "near_east", "middle_east", "ucte", "centrel", "nordel", "iiasapop",
             "oecd", "eu27", "eu27plus3"]
GROUPING_HEADERS = ["UNDP region code", "GLO", "Near East", "Middle East", "UCTE", "CENTREL",
                    "NORDEL", "IIASAPOP", "OECD", "EU27", "EU27+3"]
FIRST_ROW = 16


def params_of(sheet):
    kinds = ("country", "both") if sheet == "country" else ("sea", "both")
    return [p for p in PARAMETERS if p[1] in kinds]


def aggregate(members, params, weight_of):
    """Group values: sums of extensive quantities, weighted means of the others."""
    out = {}
    for name, _kind, _unit, _descr, agg in params:
        vals = [float(m[name]) for m in members]
        if agg == "sum":
            out[name] = sum(vals)
            continue
        weights = [weight_of(m, agg) for m in members]
        if sum(weights) <= 0:
            weights = [weight_of(m, "area") for m in members]
        if sum(weights) <= 0:
            weights = [1.0] * len(members)
        out[name] = sum(v * w for v, w in zip(vals, weights)) / sum(weights)
    return out


def weight(m, agg):
    if agg == "area":
        return float(m["SYSTEMAREA"])
    if agg == "lake":
        return float(m["AREA_lake"])
    if agg == "saltlake":
        return float(m["AREA_saltlake"])
    if agg == "pop":
        return float(m["Npop"])
    raise ValueError(agg)


def mean_position(members):
    w = [float(m["SYSTEMAREA"]) for m in members]
    lat = sum(float(m["latitude"]) * x for m, x in zip(members, w)) / sum(w)
    sx = sum(math.sin(math.radians(float(m["longitude"]))) * x for m, x in zip(members, w))
    cx = sum(math.cos(math.radians(float(m["longitude"]))) * x for m, x in zip(members, w))
    return lat, math.degrees(math.atan2(sx, cx))


def write_grid(path, grid):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    width = max(len(r) for r in grid)
    with open(path, "w", encoding="utf-8", newline="") as f:
        w = csv.writer(f, lineterminator="\n")
        for r in grid:
            w.writerow(r + [""] * (width - len(r)))


def country_sheet():
    countries = read_csv("countries.csv")
    values = {r["iso3"]: r for r in read_csv("country_parameters.csv")}
    fb = {r["iso3"]: r for r in read_csv("factbook.csv")}
    params = params_of("country")
    ident = ["name", "abbr", "continent", "ISO3", "latitude", "longitude", "landlocked"] + \
        GROUPING_HEADERS + ["GDP"]
    refs = ["ref ISO numeric", "ref coastline (km)", "ref factbook land area (km2)",
            "ref factbook entries"]
    header = ident + [p[0] for p in params] + refs
    units = ["", "ISO 3166 alpha-2", "", "ISO 3166 alpha-3", "deg N", "deg E", "1 = land-locked"] + \
        [""] * len(GROUPINGS) + ["US$"] + [p[2] for p in params] + ["", "km", "km2", ""]
    descr = ["region name", "abbreviation", "continent", "reference: ISO 3166 alpha-3 code",
             "latitude", "longitude", "reference: land-locked flag"] + \
        [f"grouping {h}" for h in GROUPING_HEADERS] + ["gross domestic product"] + \
        [p[3] for p in params] + ["ISO 3166 numeric code", "coastline length",
                                  "land area in the factbook", "factbook entry codes"]
    prov_row = [""] * 18 + ["provenance"] + [provenance_text(values, p[0]) for p in params]
    grid = [["First environment workbook: countries (rows 16-254) and their groups (from row "
             "255)"],
            ["Units of the parameter columns as in row 11; the program converts them on import."],
            ["Sources and estimation rules: data/SOURCES.md; values built by data/world/*.py."],
            [], [], [], [], [], [],
            header, units, descr, prov_row, [], []]
    rows = []
    for c in countries:
        v = values[c["iso3"]]
        f = fb[c["iso3"]]
        row = [c["name"], c["abbr"], c["continent"], c["iso3"], v["latitude"], v["longitude"],
               c["landlocked"]] + [c[g] for g in GROUPINGS] + [v["GDP"]] + \
            [v[p[0]] for p in params] + [c["iso_numeric"], f.get("coastline_km", ""),
                                         f.get("land_km2", ""), c["factbook"]]
        rows.append(row)
        grid.append(row)
    assert len(rows) == 239
    member = {c["iso3"]: values[c["iso3"]] for c in countries}
    groups = []
    for key in ("continent", "undp", "glo"):
        seen = []
        for c in countries:
            if c[key] and c[key] not in seen:
                seen.append(c[key])
        for val in seen:
            groups.append((key, val, [member[c["iso3"]] for c in countries if c[key] == val]))
    names = {c["name"] for c in countries}
    for key, val, members in groups:
        assert val not in names, val
        agg = aggregate(members, params, weight)
        lat, lon = mean_position(members)
        gdp = sum(float(m["GDP"]) for m in members)
        grouping = [val if g == key else "" for g in GROUPINGS]
        row = [val, val, val if key == "continent" else "", "", fmt(lat, 6), fmt(lon, 6), ""] + \
            grouping + [fmt(gdp, 6)] + [fmt(agg[p[0]], 6) for p in params] + \
            ["", "", "", f"group of {len(members)} countries"]
        grid.append(row)
    return grid


def provenance_text(values, name):
    src = sum(1 for v in values.values() if v[name + "_prov"] == "source")
    n = len(values)
    if src == n:
        return "source"
    if src == 0:
        return "rule"
    return f"source {src}/rule {n - src}"


def sea_sheet():
    seas = read_csv("sea_parameters.csv")
    stats = {r["name"]: r for r in read_csv("seas.csv")}
    params = params_of("sea")
    refs = ["ref mean depth (m)", "ref volume (km3)", "ref shelf area (km2)"]
    header = ["name", "abbr", "latitude", "longitude", "ocean"] + [p[0] for p in params] + refs
    units = ["", "", "deg N", "deg E", ""] + [p[2] for p in params] + ["m", "km3", "km2"]
    descr = ["region name", "abbreviation", "latitude", "longitude", "ocean"] + \
        [p[3] for p in params] + ["mean depth below sea level", "water volume",
                                  "area shallower than 200 m"]
    values = {s["name"]: s for s in seas}
    prov_row = [""] * 4 + ["provenance"] + [provenance_text(values, p[0]) for p in params]
    grid = [["First environment workbook: seas (rows 16-65) and oceans (from row 66)"],
            ["Units of the parameter columns as in row 11; the program converts them on import."],
            ["Sources and estimation rules: data/SOURCES.md; polygons: data/world/seas.geojson."],
            [], [], [], [], [], [],
            header, units, descr, prov_row, [], []]
    for s in seas:
        st = stats[s["name"]]
        grid.append([s["name"], s["abbr"], s["latitude"], s["longitude"], s["ocean"]] +
                    [s[p[0]] for p in params] +
                    [st["mean_depth_m"], st["volume_km3"], st["shelf_km2"]])
    assert len(seas) == 50
    names = {s["name"] for s in seas}
    oceans = []
    for s in seas:
        if s["ocean"] not in oceans:
            oceans.append(s["ocean"])
    for ocean in oceans:
        assert ocean not in names
        members = [s for s in seas if s["ocean"] == ocean]
        agg = aggregate(members, params, weight)
        lat, lon = mean_position(members)
        area = sum(float(m["SYSTEMAREA"]) for m in members)
        vol = sum(float(stats[m["name"]]["volume_km3"]) for m in members)
        shelf = sum(float(stats[m["name"]]["shelf_km2"]) for m in members)
        grid.append([ocean, ocean, fmt(lat, 6), fmt(lon, 6), ocean] +
                    [fmt(agg[p[0]], 6) for p in params] +
                    [fmt(vol * 1000.0 / area, 5), fmt(vol, 6), fmt(shelf, 6)])
    return grid


def main():
    base = os.path.join(WORKBOOKS, "ENVDATA2part1")
    write_grid(os.path.join(base, "countryparameters.csv"), country_sheet())
    write_grid(os.path.join(base, "seaparameters.csv"), sea_sheet())
    with open(os.path.join(WORKBOOKS, "ENVDATA2part1.manifest"), "w", encoding="utf-8") as f:
        f.write("countryparameters\tENVDATA2part1/countryparameters.csv\n")
        f.write("seaparameters\tENVDATA2part1/seaparameters.csv\n")


if __name__ == "__main__":
    main()
