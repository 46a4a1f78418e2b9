"""Per-country areas from polygons: tables/country_geometry.csv.

Inputs: npm world-atlas 2.0.2 (Natural Earth 10m countries, merged into
the 239 countries by tables/feature_merge.csv), Natural Earth 10m lakes
(Debian libgnudatalanguage0) and urban areas (Debian flightgear-data-base),
tables/lake_facts.csv (named lakes: salinity, mean depth).

Areas are geodesic (WGS84). A lake polygon counts as saline or gets a
known mean depth when it contains, or lies within 0.3 degrees of, a point
of lake_facts.csv. The Caspian Sea (the hole of the merged land polygon
between 46-56 E and 36-48 N) is treated as a salt lake shared by its
shore countries: every 0.05-degree cell of it goes to the nearest country.
"""
import math

import shapefile
from shapely.geometry import Point, Polygon, shape
from shapely.ops import unary_union
from shapely.prepared import prep
from shapely.strtree import STRtree

from common import (GEODATA, NE_HIGH, fmt, geodesic_area_km2, node_json, read_csv,
                    topology_features, write_csv)

DEFAULT_LAKE_DEPTH_M = 10.0  # lakes without a known depth
CASPIAN_DEPTH_M = 211.0


def country_geometries():
    merge = {r["feature_name"]: r["iso3"] for r in read_csv("feature_merge.csv")}
    parts = {}
    for props, _fid, geom in topology_features(node_json("world-atlas", "countries-10m.json"),
                                               "countries"):
        iso3 = merge[props["name"]]
        parts.setdefault(iso3, []).append(geom)
    return {k: unary_union(v) for k, v in parts.items()}


def caspian_polygon():
    land = topology_features(node_json("world-atlas", "land-10m.json"), "land")
    box = Polygon([(46, 36), (56, 36), (56, 48), (46, 48)])
    best = None
    for _p, _id, geom in land:
        polys = getattr(geom, "geoms", [geom])
        for poly in polys:
            for ring in poly.interiors:
                hole = Polygon(ring)
                if hole.intersects(box):
                    if best is None or hole.area > best.area:
                        best = hole
    return best


def intersect_areas(items, countries, tree, index):
    """Sum of geodesic intersection areas of items with every country."""
    prepared = {k: prep(g) for k, g in countries.items()}
    out = {}
    for geom, key in items:
        for cg in tree.query(geom):
            iso3 = index[id(cg)]
            pc = prepared[iso3]
            if not pc.intersects(geom):
                continue
            # Most items lie wholly inside one country: no clipping needed.
            inter = geom if pc.contains(geom) else cg.intersection(geom)
            if inter.is_empty:
                continue
            a = geodesic_area_km2(inter)
            if a > 0:
                out.setdefault(iso3, []).append((key, a))
    return out


def main():
    countries = country_geometries()
    geoms = list(countries.values())
    index = {id(g): k for k, g in countries.items()}
    tree = STRtree(geoms)

    facts = read_csv("lake_facts.csv")
    lakes = []
    reader = shapefile.Reader(f"{NE_HIGH}/ne_10m_lakes")
    for s in reader.shapes():
        g = shape(s.__geo_interface__)
        if not g.is_valid:
            g = g.buffer(0)
        saline, depth = 0, DEFAULT_LAKE_DEPTH_M
        for f in facts:
            p = Point(float(f["lon"]), float(f["lat"]))
            if g.contains(p) or g.distance(p) < 0.3:
                saline, depth = int(f["saline"]), float(f["mean_depth_m"])
                break
        lakes.append((g, (saline, depth)))
    lake_parts = intersect_areas(lakes, countries, tree, index)

    with open(f"{GEODATA}/ne_10m_urban_areas.shp", "rb") as shp:
        urban_reader = shapefile.Reader(shp=shp)
        urban = []
        for s in urban_reader.shapes():
            g = shape(s.__geo_interface__)
            urban.append((g if g.is_valid else g.buffer(0), 1))
    urban_parts = intersect_areas(urban, countries, tree, index)

    caspian = caspian_polygon()
    caspian_share = {}
    shore = {k: g for k, g in countries.items() if g.distance(caspian) < 0.2}
    step = 0.05
    minx, miny, maxx, maxy = caspian.bounds
    y = miny + step / 2
    while y < maxy:
        x = minx + step / 2
        cell_km2 = (step * 111.195) ** 2 * math.cos(math.radians(y))
        while x < maxx:
            p = Point(x, y)
            if caspian.contains(p):
                iso3 = min(shore, key=lambda k: shore[k].distance(p))
                caspian_share[iso3] = caspian_share.get(iso3, 0.0) + cell_km2
            x += step
        y += step
    caspian_total = geodesic_area_km2(caspian)
    grid_total = sum(caspian_share.values())

    rows = []
    for c in read_csv("countries.csv"):
        iso3 = c["iso3"]
        g = countries[iso3]
        fresh = [(a, d) for (sal, d), a in lake_parts.get(iso3, []) if sal == 0]
        salt = [(a, d) for (sal, d), a in lake_parts.get(iso3, []) if sal == 1]
        casp = caspian_share.get(iso3, 0.0) * caspian_total / grid_total if grid_total else 0.0
        fresh_a = sum(a for a, _ in fresh)
        salt_a = sum(a for a, _ in salt) + casp
        rep = g.representative_point()
        rows.append({
            "iso3": iso3,
            "name": c["name"],
            "polygon_km2": fmt(geodesic_area_km2(g), 8),
            "lake_km2": fmt(fresh_a, 6),
            "lake_mean_depth_m": fmt(sum(a * d for a, d in fresh) / fresh_a, 4) if fresh_a else "",
            "saltlake_km2": fmt(salt_a, 6),
            "saltlake_mean_depth_m": fmt((sum(a * d for a, d in salt) + casp * CASPIAN_DEPTH_M)
                                         / salt_a, 4) if salt_a else "",
            "caspian_km2": fmt(casp, 6),
            "urban_km2": fmt(sum(a for _k, a in urban_parts.get(iso3, [])), 6),
            "rep_lat": fmt(rep.y, 6),
            "rep_lon": fmt(rep.x, 6),
        })
    write_csv("country_geometry.csv", list(rows[0].keys()), rows)


if __name__ == "__main__":
    main()
