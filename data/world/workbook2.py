"""Writes the sheet grids of the second environment workbook (borders and
flows) from the tables: data/workbooks/ENVDATA2part2.manifest and
data/workbooks/ENVDATA2part2/*.csv.

Every sheet is square over the rows of the first workbook: the region of
sheet row r (r from 16, countries and their group rows as on
"countryparameters", seas and their group rows as on "seaparameters") has
its column at r - 14. Column 1 and row 15 name the regions; rows 1-4 say
what the sheet holds. A zero is an empty cell. A group row holds the sums
of its members' values (a group's border with a country is the sum of its
members' borders with that country; flows likewise); a group's value with
itself and with another group is empty, since no region list holds two of
them.
"""
import csv
import os

from common import fmt, read_csv
from workbook import WORKBOOKS

FIRST_ROW = 16
SHEETS = [
    # sheet, file, rows, columns, unit, description
    ("BORDERLENGTH(countries)", "BORDERLENGTH_countries", "country", "country", "km",
     "land border length between the row country and the column country"),
    ("BORDERLENGTH(seas)", "BORDERLENGTH_seas", "sea", "sea", "km",
     "length of the boundary over water between the row sea and the column sea"),
    ("BORDERLENGTH(countriesseas)", "BORDERLENGTH_countriesseas", "country", "sea", "km",
     "coastline of the row country on the column sea"),
    ("FLOW_river_river", "FLOW_river_river", "country", "country", "km3/yr",
     "river water flowing from the row country into the column country"),
    ("FLOW_groundwater_groundwater", "FLOW_groundwater_groundwater", "country", "country",
     "km3/yr", "groundwater flowing from the row country into the column country"),
    ("FLOW_river_seawater", "FLOW_river_seawater", "country", "sea", "km3/yr",
     "river water flowing from the row country into the column sea"),
    ("FLOW_seawater_seawater", "FLOW_seawater_seawater", "sea", "sea", "km3/yr",
     "sea water flowing from the row sea into the column sea"),
    ("FLOW_groundwater_seawater", "FLOW_groundwater_seawater", "country", "sea", "km3/yr",
     "groundwater flowing from the row country into the column sea"),
]


def first_workbook_rows(sheet):
    """(name, members) for every row from 16 of a first-workbook grid; a
    region's members are itself, a group's those whose grouping value is
    the group's name."""
    path = os.path.join(WORKBOOKS, "ENVDATA2part1", sheet + ".csv")
    with open(path, encoding="utf-8", newline="") as f:
        grid = list(csv.reader(f))
    return [r[0] for r in grid[FIRST_ROW - 1:] if r and r[0]]


def regions():
    countries = read_csv("countries.csv")
    seas = read_csv("seas.csv")
    crow = first_workbook_rows("countryparameters")
    srow = first_workbook_rows("seaparameters")
    assert crow[:len(countries)] == [c["name"] for c in countries]
    assert srow[:len(seas)] == [s["name"] for s in seas]
    iso = [c["iso3"] for c in countries]
    cgroups = []
    for g in crow[len(countries):]:
        members = [c["iso3"] for c in countries
                   if g in (c["continent"], c["undp"], c["glo"])]
        assert members, g
        cgroups.append((g, members))
    snames = [s["name"] for s in seas]
    sgroups = []
    for g in srow[len(seas):]:
        members = [s["name"] for s in seas if s["ocean"] == g]
        assert members, g
        sgroups.append((g, members))
    return crow, iso, cgroups, srow, snames, sgroups


def square(values, row_keys, row_groups, col_keys, col_groups, diagonal_groups):
    """Cell values by (row index, column index) over regions and groups:
    regions from values[(row key, column key)], groups as member sums."""
    nr, nc = len(row_keys), len(col_keys)
    rows_all = [[k] for k in row_keys] + [m for _g, m in row_groups]
    cols_all = [[k] for k in col_keys] + [m for _g, m in col_groups]
    out = {}
    for i, rm in enumerate(rows_all):
        for j, cm in enumerate(cols_all):
            if diagonal_groups and i >= nr and j >= nc:
                continue  # group with group: never read together
            total = 0.0
            for a in rm:
                for b in cm:
                    total += values.get((a, b), 0.0)
            if total != 0.0:
                out[(i, j)] = total
    return out


def write_sheet(path, title, unit, descr, row_names, col_names, cells, digits):
    n_rows = len(row_names)
    width = 1 + len(col_names)
    grid = [[title], [f"unit: {unit}; an empty cell is 0"],
            ["row r (from 16) is the region of sheet row r of the first workbook; "
             "its column is r - 14"],
            ["sources and rules: data/SOURCES.md; built by data/world/workbook2.py"]]
    grid += [[] for _ in range(10)]
    grid.append([""] + col_names)
    for i in range(n_rows):
        row = [""] * width
        row[0] = row_names[i]
        grid.append(row)
    for (i, j), v in cells.items():
        grid[FIRST_ROW - 1 + i][1 + j] = fmt(v, digits)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        w = csv.writer(f, lineterminator="\n")
        for r in grid:
            w.writerow(r)


def main():
    crow, iso, cgroups, srow, snames, sgroups = regions()
    land = {}
    for r in read_csv("land_borders.csv"):
        land[(r["iso3_a"], r["iso3_b"])] = float(r["km"])
        land[(r["iso3_b"], r["iso3_a"])] = float(r["km"])
    coast = {(r["iso3"], r["sea"]): float(r["km"]) for r in read_csv("coast_seas.csv")}
    # Two seas' air meets only where they share water: the polygons are
    # drawn over the coasts, and the stretches of their common outline that
    # run over land (the Baltic and the Indian Ocean meet across Russia)
    # belong to the air of the countries there.
    seab = {}
    for r in read_csv("sea_borders.csv"):
        if float(r["water_km"]) > 0:
            seab[(r["sea_a"], r["sea_b"])] = float(r["water_km"])
            seab[(r["sea_b"], r["sea_a"])] = float(r["water_km"])
    rr = {(r["from_iso3"], r["to_iso3"]): float(r["km3_per_yr"])
          for r in read_csv("flows_river_river.csv")}
    rs = {(r["iso3"], r["sea"]): float(r["km3_per_yr"]) for r in read_csv("flows_river_sea.csv")}
    gg, gs = {}, {}
    for r in read_csv("flows_groundwater.csv"):
        if r["kind"] == "country":
            to = next(i for i, n in zip(iso, crow) if n == r["to"])
            gg[(r["from_iso3"], to)] = float(r["km3_per_yr"])
        else:
            gs[(r["from_iso3"], r["to"])] = float(r["km3_per_yr"])
    ss = {(r["from"], r["to"]): float(r["km3_per_yr"]) for r in read_csv("flows_sea_sea.csv")}
    values = {
        "BORDERLENGTH(countries)": land, "BORDERLENGTH(seas)": seab,
        "BORDERLENGTH(countriesseas)": coast, "FLOW_river_river": rr,
        "FLOW_groundwater_groundwater": gg, "FLOW_river_seawater": rs,
        "FLOW_seawater_seawater": ss, "FLOW_groundwater_seawater": gs,
    }
    base = os.path.join(WORKBOOKS, "ENVDATA2part2")
    manifest = []
    for sheet, file, rows, cols, unit, descr in SHEETS:
        rk, rg, rn = (iso, cgroups, crow) if rows == "country" else (snames, sgroups, srow)
        ck, cg, cn = (iso, cgroups, crow) if cols == "country" else (snames, sgroups, srow)
        cells = square(values[sheet], rk, rg, ck, cg, rows == cols)
        digits = 6 if sheet.startswith("BORDER") else 9
        write_sheet(os.path.join(base, file + ".csv"), f"{sheet}: {descr}", unit, descr, rn,
                    cn, cells, digits)
        manifest.append(f"{sheet}\tENVDATA2part2/{file}.csv\n")
    with open(os.path.join(WORKBOOKS, "ENVDATA2part2.manifest"), "w", encoding="utf-8") as f:
        f.writelines(manifest)


if __name__ == "__main__":
    main()
