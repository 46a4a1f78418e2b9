"""Paths and small helpers shared by the world-table scripts.

Run the scripts with /usr/bin/python3: the Debian Python modules they use
(shapely, numpy, pyproj, netCDF4, pyshp) are installed for that interpreter.
"""
import csv
import json
import os
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
NODE = os.path.join(HERE, "node_modules")
CACHE = os.path.join(HERE, ".cache")
TABLES = os.path.join(HERE, "tables")
NE_HIGH = os.path.join(CACHE, "usr/share/gnudatalanguage/resource/maps/high")
GEODATA = os.path.join(CACHE, "usr/share/games/flightgear/Geodata")
FERRET = os.path.join(CACHE, "usr/share/ferret-vis/data")

EARTH_RADIUS_KM = 6371.0088  # mean radius, for areas on regular grids


def node_json(*parts):
    with open(os.path.join(NODE, *parts), encoding="utf-8") as f:
        return json.load(f)


def ascii_name(text):
    """Region names are identifiers shown everywhere: plain ASCII letters."""
    folded = unicodedata.normalize("NFKD", text)
    return "".join(c for c in folded if not unicodedata.combining(c)).encode(
        "ascii", "ignore").decode("ascii")


def read_csv(name):
    with open(os.path.join(TABLES, name), encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def write_csv(name, fieldnames, rows):
    os.makedirs(TABLES, exist_ok=True)
    with open(os.path.join(TABLES, name), "w", encoding="utf-8", newline="") as f:
        w = csv.DictWriter(f, fieldnames=fieldnames, lineterminator="\n")
        w.writeheader()
        for r in rows:
            w.writerow(r)


def fmt(x, digits=6):
    """Plain decimal text (no thousands separator, '.' as decimal point)."""
    if isinstance(x, str):
        return x
    if x == 0:
        return "0"
    s = f"{x:.{digits}g}"
    if "e" in s:
        mant, exp = s.split("e")
        s = f"{mant}e{int(exp)}"
    return s


def decode_arcs(topo):
    """The arcs of a quantized TopoJSON topology as lists of (lon, lat)."""
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        pts = []
        for dx, dy in arc:
            x += dx
            y += dy
            pts.append((x * sx + tx, y * sy + ty))
        arcs.append(pts)
    return arcs


def topology_features(topo, object_name):
    """Decodes one object of a quantized TopoJSON topology into
    (properties, id, shapely geometry) triples."""
    from shapely.geometry import MultiPoint, MultiPolygon, Polygon

    arcs = decode_arcs(topo)

    def ring(indices):
        pts = []
        for i in indices:
            a = arcs[i] if i >= 0 else arcs[~i][::-1]
            pts.extend(a if not pts else a[1:])
        return pts

    def unwrap(pts):
        """The topology is made for drawing on the sphere: rings cross the
        antimeridian (a jump of more than 180 degrees between two points)
        and Antarctica's ring runs once round the pole. Unwrapped, a ring
        runs on past 180 degrees; a ring round a pole is closed over it."""
        out = [pts[0]]
        offset = 0.0
        for (x0, _y0), (x1, y1) in zip(pts, pts[1:]):
            if x1 - x0 > 180.0:
                offset -= 360.0
            elif x1 - x0 < -180.0:
                offset += 360.0
            out.append((x1 + offset, y1))
        if abs(out[-1][0] - out[0][0]) > 180.0:
            pole = -90.0 if sum(y for _x, y in out) < 0 else 90.0
            out += [(out[-1][0], pole), (out[0][0], pole), out[0]]
        return out

    def polygon(rings):
        # Quantisation collapses some tiny islets to fewer than four points.
        shell = ring(rings[0])
        if len(set(shell)) < 3:
            return None
        if len(shell) < 4:
            shell = shell + shell[:1]
        shell = unwrap(shell)
        sx0 = min(x for x, _ in shell)
        holes = []
        for h in (ring(r) for r in rings[1:]):
            if len(h) < 4:
                continue
            h = unwrap(h)
            shift = 360.0 * round((sx0 - min(x for x, _ in h)) / 360.0) \
                if min(x for x, _ in h) > max(x for x, _ in shell) or \
                max(x for x, _ in h) < sx0 else 0.0
            holes.append([(x + shift, y) for x, y in h])
        return Polygon(shell, holes)

    def normalised(geom):
        """Cuts what lies beyond the antimeridian and moves it back."""
        from shapely.affinity import translate
        from shapely.geometry import box
        from shapely.ops import unary_union

        minx, _miny, maxx, _maxy = geom.bounds
        if minx >= -180.0 and maxx <= 180.0:
            return geom
        if not geom.is_valid:
            geom = geom.buffer(0)
        parts = [geom.intersection(box(-180, -90, 180, 90))]
        if maxx > 180.0:
            parts.append(translate(geom.intersection(box(180, -90, 540, 90)), -360.0))
        if minx < -180.0:
            parts.append(translate(geom.intersection(box(-540, -90, -180, 90)), 360.0))
        polys = []
        for p in parts:
            for q in getattr(p, "geoms", [p]):
                if q.geom_type == "Polygon" and not q.is_empty:
                    polys.append(q)
                elif q.geom_type == "MultiPolygon":
                    polys.extend(q.geoms)
        return unary_union(polys)

    out = []
    for g in topo["objects"][object_name]["geometries"]:
        if g["type"] == "Polygon":
            geom = polygon(g["arcs"])
            if geom is None:  # a city state smaller than the quantisation grid
                pts = ring(g["arcs"][0])
                geom = MultiPoint(pts).buffer(0.003)
        elif g["type"] == "MultiPolygon":
            geom = MultiPolygon([p for p in (polygon(a) for a in g["arcs"]) if p is not None])
        else:
            continue
        if geom is None or geom.is_empty:
            continue
        if not geom.is_valid:
            geom = geom.buffer(0)
        geom = normalised(geom)
        out.append((g.get("properties", {}), g.get("id"), geom))
    return out


_geod = None


def geodesic_area_km2(geom):
    """Area on the WGS84 ellipsoid."""
    global _geod
    from pyproj import Geod

    if _geod is None:
        _geod = Geod(ellps="WGS84")
    area, _ = _geod.geometry_area_perimeter(geom)
    return abs(area) / 1e6


# Zonal mean annual precipitation (mm/yr) by latitude, read off published
# satellite-gauge climatologies to a few hundred mm: over the oceans and
# over land. Used by the precipitation estimates (see data/SOURCES.md).
ZONAL_OCEAN_RAIN = [(-90, 100), (-75, 200), (-65, 500), (-55, 1000), (-45, 1100), (-35, 900),
                    (-25, 700), (-15, 1100), (-5, 1500), (0, 1800), (5, 2500), (10, 2000),
                    (15, 1300), (20, 900), (25, 700), (35, 900), (45, 1200), (55, 1100),
                    (65, 700), (75, 300), (90, 150)]
ZONAL_LAND_RAIN = [(-90, 50), (-75, 100), (-60, 500), (-50, 900), (-40, 900), (-30, 550),
                   (-20, 700), (-10, 1400), (0, 2000), (10, 1300), (20, 600), (30, 450),
                   (40, 600), (50, 650), (60, 500), (70, 300), (80, 200), (90, 150)]


def interp(table, x):
    """Piecewise-linear interpolation in a sorted (x, y) table."""
    if x <= table[0][0]:
        return table[0][1]
    for (x0, y0), (x1, y1) in zip(table, table[1:]):
        if x <= x1:
            return y0 + (y1 - y0) * (x - x0) / (x1 - x0)
    return table[-1][1]


def oh_concentration(lat):
    """24-hour annual mean OH radical concentration (molecules/cm3): about
    1.35e6 in the tropics falling to 0.3e6 at the poles. cos^2 of the
    latitude averages 2/3 over the sphere's area, so the global mean is
    0.3e6 + 1.05e6 * 2/3 = 1.0e6, the mean that the reference concentration
    assumes and that methyl chloroform budgets give (0.94-1.1e6)."""
    import math

    return 0.3e6 + 1.05e6 * math.cos(math.radians(lat)) ** 2
