"""Writes the geographic map's fifteen line files and the world picture.

Run with /usr/bin/python3 after data/world/fetch_sources.sh has filled
data/world/node_modules and data/world/.cache. Everything comes from
Natural Earth (public domain):

- coast lines and borders from the 10 m country topology of the npm package
  world-atlas: an arc used by one country feature is coast, an arc shared by
  two is a border;
- lake shores from the 10 m lakes the world tables already use;
- rivers and lake centre lines from the 50 m set of the same Debian package
  (taken out of the .deb the fetch script keeps).

Each line file is a sequence of segments: a header line
"segment <n>  rank <r>  points <p>", then p lines " <latitude> <longitude>".
Files are split by the continent of the country that owns a line (the first
of the two for a border). The program reads rank 1 only, so rank 1 marks
what a world map shows: sea coasts, large lakes, borders, major rivers.

The asia files hold Oceania and Russia too; their negative longitudes are
stored +360 so that the Pacific islands and Chukotka continue to the right of
the 180th meridian, where the map's view reaches 200. A line of those files
that would then lie wholly beyond 200 (French Polynesia, Pitcairn) goes to
the namer file at its own longitudes instead, so it stays on the map.

Usage: make_maps.py [output directory]   (default: this script's directory)
"""
import collections
import math
import os
import subprocess
import sys

import shapefile
from PIL import Image, ImageDraw
from shapely.geometry import LineString, Point

HERE = os.path.dirname(os.path.abspath(__file__))
WORLD = os.path.join(HERE, "..", "world")
sys.path.insert(0, WORLD)
import common  # noqa: E402

# Douglas-Peucker tolerance in degrees: about 2 km, below a pixel of the
# whole-world view (0.3 degrees) and of a continent view (0.06 degrees).
TOLERANCE = 0.02
STEMS = ["africa", "asia", "europe", "namer", "samer"]
KINDS = ["cil", "riv", "bdy"]
# A lake of at least this area (km2) is a large lake, rank 1.
LARGE_LAKE_KM2 = 2000.0
# Rivers of Natural Earth scale rank 1 to 3 are the major ones.
MAJOR_RIVER_SCALERANK = 3

RIVERS_DEB_PATH = "./usr/share/gnudatalanguage/resource/maps/low/ne_50m_rivers_lake_centerlines.*"
RIVERS = os.path.join(common.CACHE, "usr/share/gnudatalanguage/resource/maps/low",
                      "ne_50m_rivers_lake_centerlines")


def stem_of(continent, subregion, lon):
    if continent == "Africa":
        return "africa"
    if continent in ("Asia", "Oceania"):
        return "asia"
    if continent == "Europe":
        return "europe"
    if continent == "North America":
        return "namer"
    if continent == "South America":
        return "samer"
    # Antarctic: the continent with South America, the sub-antarctic islands
    # with the continent facing them.
    if -30 <= lon < 60:
        return "africa"
    if lon >= 60:
        return "asia"
    return "samer"


def country_table():
    merge = {r["feature_name"]: r["iso3"] for r in common.read_csv("feature_merge.csv")}
    countries = {r["iso3"]: r for r in common.read_csv("countries.csv")}
    return merge, countries


def feature_stem(name, iso3, countries, lon):
    if iso3 == "RUS":
        return "asia"  # so that Chukotka continues beyond 180
    c = countries[iso3]
    if iso3 == "ATA":
        return "samer"
    return stem_of(c["continent"], c["subregion"], lon)


def arc_indices(geometry):
    if geometry["type"] == "Polygon":
        rings = geometry["arcs"]
    elif geometry["type"] == "MultiPolygon":
        rings = [r for poly in geometry["arcs"] for r in poly]
    else:
        rings = []
    for ring in rings:
        for i in ring:
            yield i if i >= 0 else ~i


def split_pieces(pts):
    """Cuts a line where it jumps across the 180th meridian or runs along it
    (the sphere's seam), so that no stroke spans the map."""
    piece = [pts[0]]
    for a, b in zip(pts, pts[1:]):
        on_seam = abs(abs(a[0]) - 180) < 0.01 and abs(abs(b[0]) - 180) < 0.01
        seam = abs(b[0] - a[0]) > 180 or on_seam
        if seam:
            if len(piece) > 1:
                yield piece
            piece = [b]
        else:
            piece.append(b)
    if len(piece) > 1:
        yield piece


def thin(pts):
    if len(pts) <= 2:
        return pts
    line = LineString(pts).simplify(TOLERANCE, preserve_topology=False)
    out = list(line.coords)
    return out if len(out) >= 2 else [pts[0], pts[-1]]


class Files:
    def __init__(self):
        self.segments = collections.defaultdict(list)  # (stem, kind) -> [(rank, pts)]

    def add(self, stem, kind, rank, pts):
        """pts are (lon, lat); the asia rule is applied here."""
        for piece in split_pieces(pts) if stem != "asia" else [pts]:
            if stem == "asia":
                shifted = [(lon + 360 if lon < 0 else lon, lat) for lon, lat in piece]
                if min(p[0] for p in shifted) > 200:
                    self.add("namer", kind, rank, piece)
                    continue
                # A line crossing the seam in an asia file is whole once
                # shifted; one that still jumps is cut.
                for part in split_pieces(shifted):
                    self._keep(stem, kind, rank, part)
            else:
                self._keep(stem, kind, rank, piece)

    def _keep(self, stem, kind, rank, pts):
        pts = thin(pts)
        if len(pts) >= 2:
            self.segments[(stem, kind)].append((rank, pts))

    def write(self, outdir):
        totals = {}
        for stem in STEMS:
            for kind in KINDS:
                path = os.path.join(outdir, f"{stem}-{kind}.txt")
                n = 0
                with open(path, "w", encoding="ascii", newline="\n") as f:
                    for number, (rank, pts) in enumerate(self.segments[(stem, kind)], 1):
                        f.write(f"segment {number}  rank {rank}  points {len(pts)}\n")
                        for lon, lat in pts:
                            f.write(f" {num(lat)} {num(lon)}\n")
                        n += len(pts)
                totals[(stem, kind)] = (len(self.segments[(stem, kind)]), n, os.path.getsize(path))
        return totals


def num(x):
    s = f"{x:.3f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def lake_area_km2(geom):
    lat = geom.centroid.y
    k = (math.pi / 180 * common.EARTH_RADIUS_KM) ** 2
    return geom.area * k * math.cos(math.radians(lat))


def ensure_rivers():
    if os.path.exists(RIVERS + ".shp"):
        return
    debs = os.path.join(common.CACHE, "debs")
    deb = [f for f in os.listdir(debs) if f.startswith("libgnudatalanguage0_")]
    if not deb:
        subprocess.run(["apt-get", "download", "libgnudatalanguage0"], cwd=debs, check=True)
        deb = [f for f in os.listdir(debs) if f.startswith("libgnudatalanguage0_")]
    tar = subprocess.Popen(["dpkg-deb", "--fsys-tarfile", os.path.join(debs, deb[0])],
                           stdout=subprocess.PIPE)
    subprocess.run(["tar", "-x", "-C", common.CACHE, "--wildcards", RIVERS_DEB_PATH],
                   stdin=tar.stdout, check=True)
    tar.wait()


class Locator:
    """The file stem of the country a point lies in, or of the nearest one."""

    def __init__(self, features):
        self.features = [(g, g.bounds, s) for g, s in features]

    def stem(self, lon, lat):
        p = Point(lon, lat)
        for g, (x0, y0, x1, y1), s in self.features:
            if x0 <= lon <= x1 and y0 <= lat <= y1 and g.contains(p):
                return s
        return min(self.features, key=lambda f: f[0].distance(p))[2]


def line_parts(shape):
    parts = list(shape.parts) + [len(shape.points)]
    for a, b in zip(parts, parts[1:]):
        yield [tuple(p) for p in shape.points[a:b]]


def build(outdir):
    ensure_rivers()
    merge, countries = country_table()
    topo = common.node_json("world-atlas", "countries-10m.json")
    arcs = common.decode_arcs(topo)
    geometries = topo["objects"]["countries"]["geometries"]

    # Which features use each arc, and each feature's file stem.
    users = collections.defaultdict(list)
    stems = []
    polygons = []
    shapes = common.topology_features(topo, "countries")
    by_name = {}
    for props, fid, geom in shapes:
        by_name[props.get("name")] = geom
    for k, g in enumerate(geometries):
        name = g.get("properties", {}).get("name")
        iso3 = merge.get(name)
        geom = by_name.get(name)
        lon = geom.representative_point().x if geom is not None else 0.0
        stem = feature_stem(name, iso3, countries, lon) if iso3 else stem_of("", "", lon)
        stems.append(stem)
        if geom is not None:
            polygons.append((geom, stem))
        for i in set(arc_indices(g)):
            users[i].append(k)

    files = Files()
    for i, pts in enumerate(arcs):
        owners = users.get(i)
        if not owners or len(pts) < 2:
            continue
        kind = "cil" if len(owners) == 1 else "bdy"
        files.add(stems[owners[0]], kind, 1, pts)

    locator = Locator(polygons)
    lakes = shapefile.Reader(os.path.join(common.NE_HIGH, "ne_10m_lakes"))
    from shapely.geometry import shape as to_shape
    for sh in lakes.shapes():
        geom = to_shape(sh.__geo_interface__)
        rank = 1 if lake_area_km2(geom) >= LARGE_LAKE_KM2 else 2
        p = geom.representative_point()
        stem = locator.stem(p.x, p.y)
        for ring in line_parts(sh):
            files.add(stem, "cil", rank, ring)

    rivers = shapefile.Reader(RIVERS)
    for sh, rec in zip(rivers.shapes(), rivers.records()):
        sr = int(rec["scalerank"])
        rank = 1 if sr <= MAJOR_RIVER_SCALERANK else sr - MAJOR_RIVER_SCALERANK + 1
        for part in line_parts(sh):
            mid = part[len(part) // 2]
            files.add(locator.stem(*mid), "riv", rank, part)

    totals = files.write(outdir)
    worldpicture([g for g, _ in polygons], os.path.join(outdir, "worldmap.png"))
    return totals


# ---- the world picture ------------------------------------------------------
# The world map window's geometry: 1084 x 558 pixels, longitudes -172..176 on
# the equator with the parallel lengths of Robinson's table, latitudes
# 80..-80 linear.
WIDTH, HEIGHT = 1084, 558
WEST, EAST, NORTH, SOUTH = -172, 176, 80, -80
ROBINSON_X = [1.0, 0.9986, 0.9954, 0.99, 0.9822, 0.973, 0.96, 0.9427, 0.9216, 0.8962,
              0.8679, 0.835, 0.7986, 0.7597, 0.7186, 0.6732, 0.6213, 0.5722, 0.5322]
SEA = (96, 134, 128)       # a grey green: white, black, red and blue all show on it
LAND = (214, 196, 150)     # sand
SHORE = (120, 104, 70)
OUTSIDE = (150, 150, 150)  # beyond the globe's edge


def parallel_length(lat):
    a = abs(lat)
    if a > 90:
        return 1.0
    i = min(int(a // 5), 17)
    return ROBINSON_X[i] + (a - 5 * i) / 5 * (ROBINSON_X[i + 1] - ROBINSON_X[i])


def pixel(lon, lat):
    x = (lon * parallel_length(lat) - WEST) * WIDTH / (EAST - WEST)
    y = (lat - NORTH) * HEIGHT / (SOUTH - NORTH)
    return (x, y)


def worldpicture(geoms, path):
    img = Image.new("RGB", (WIDTH, HEIGHT), OUTSIDE)
    draw = ImageDraw.Draw(img)
    # The globe: between the left and right meridians of 180 degrees.
    lats = [NORTH + (SOUTH - NORTH) * k / 400 for k in range(401)]
    outline = [pixel(-180, lat) for lat in lats] + [pixel(180, lat) for lat in reversed(lats)]
    draw.polygon(outline, fill=SEA)
    for geom in geoms:
        polys = geom.geoms if geom.geom_type == "MultiPolygon" else [geom]
        for poly in polys:
            ring = [pixel(lon, lat) for lon, lat in poly.exterior.coords]
            if len(ring) >= 3:
                draw.polygon(ring, fill=LAND, outline=SHORE)
            for hole in poly.interiors:
                ring = [pixel(lon, lat) for lon, lat in hole.coords]
                if len(ring) >= 3:
                    draw.polygon(ring, fill=SEA, outline=SHORE)
    img.save(path, optimize=True)


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else HERE
    totals = build(outdir)
    segs = sum(t[0] for t in totals.values())
    pts = sum(t[1] for t in totals.values())
    size = sum(t[2] for t in totals.values())
    for (stem, kind), (s, p, b) in sorted(totals.items()):
        print(f"{stem}-{kind}.txt: {s} segments, {p} points, {b} bytes")
    print(f"total: {segs} segments, {pts} points, {size} bytes")


if __name__ == "__main__":
    main()
