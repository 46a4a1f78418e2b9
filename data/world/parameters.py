"""Landscape parameters of the 239 countries and 50 seas, in the units of the
first environment workbook's sheets.

Inputs: the tables written by countries.py, factbook.py, geometry.py and
seas.py, npm country-json 2.3.0 (yearly average temperature), and the
hand-entered tables precipitation.csv, internal_water.csv, lake_areas.csv,
food_supply.csv, fishing_areas.csv, sea_fishing_areas.csv, sea_climate.csv
and those routing.py reads (river_flows.csv, surplus_routes.csv,
caspian_rivers.csv).
Outputs: tables/country_parameters.csv and tables/sea_parameters.csv (one
row per region: every parameter, and beside it its provenance, "source"
when it comes from a data package or is computed from one, "rule" when an
estimation rule of data/SOURCES.md gave it), tables/provenance.csv (counts).

Every rule below is described in data/SOURCES.md under the parameter's name.
"""
import math
import re

from common import (ZONAL_LAND_RAIN, ZONAL_OCEAN_RAIN, ascii_name, fmt, interp, node_json, oh_concentration,
                    read_csv, write_csv)
import routing

# Parameters read from the sheets: name, kind, sheet unit, description,
# aggregation of group rows (sum, area, lake, saltlake, pop, shelf).
PARAMETERS = [
    ("Fair_agr", "country", "m3 air/m3 soil", "air volume fraction of agricultural soil", "area"),
    ("Fair_nonagr", "country", "m3 air/m3 soil", "air volume fraction of natural and urban soil",
     "area"),
    ("Fwater_agr", "country", "m3 water/m3 soil", "water volume fraction of agricultural soil",
     "area"),
    ("Fwater_nonagr", "country", "m3 water/m3 soil",
     "water volume fraction of natural and urban soil", "area"),
    ("Fsolid_runoff", "country", "m3 solids/m3 water", "solids carried by run-off water", "area"),
    ("Foc_soil", "country", "kg oc/kg solid", "organic carbon in soil solids", "area"),
    ("Foc_sed", "country", "kg oc/kg solid", "organic carbon in lake sediment solids", "area"),
    ("Foc_seased", "sea", "kg oc/kg solid", "organic carbon in sea sediment solids", "area"),
    ("Foc_susp", "country", "kg oc/kg solid", "organic carbon in suspended solids of inland water",
     "area"),
    ("Foc_seasusp", "sea", "kg oc/kg solid", "organic carbon in suspended solids of sea water",
     "area"),
    ("OHCONC_air", "both", "molecules/cm3", "24-hour annual mean OH radical concentration",
     "area"),
    ("SUSPFRACTION_inlandwater", "country", "m3 susp/m3 water",
     "suspended matter volume fraction of rivers and lakes", "area"),
    ("SUSPFRACTION_seawater", "sea", "m3 susp/m3 water",
     "suspended matter volume fraction of sea water", "area"),
    ("RESTIME_lake", "country", "yr", "hydraulic residence time of lakes", "lake"),
    ("EVAPrate_lake", "country", "m/yr", "evaporation from lakes", "lake"),
    ("EVAP_saltlake", "country", "km3/yr", "evaporation from salt lakes", "sum"),
    ("TEMP", "both", "degC", "annual mean temperature", "area"),
    ("WINDSPEED", "country", "m/s", "annual mean wind speed at 10 m", "area"),
    ("RAINRATE", "both", "mm/yr", "annual precipitation", "area"),
    ("WATERrunoff", "country", "km3/yr", "surface run-off from soils to rivers", "sum"),
    ("RAINDAYS", "country", "d/yr", "days with rain", "area"),
    ("FROSTMONTHS", "country", "month/yr", "months with mean temperature below 0 degC", "area"),
    ("SYSTEMAREA", "both", "km2", "land area (country) or sea surface area (sea)", "sum"),
    ("Farea_seaice", "sea", "-", "fraction of the sea surface covered by ice", "area"),
    ("Farea_agr", "country", "-", "agricultural fraction of the land area", "area"),
    ("Farea_nat", "country", "-", "natural fraction of the land area (forest and other)", "area"),
    ("Farea_urb", "country", "-", "urban fraction of the land area", "area"),
    ("Friver_frozen", "country", "-", "fraction of river water frozen (annual mean)", "area"),
    ("MIXDEPTH_lake", "country", "m", "mixed depth of lakes", "lake"),
    ("MIXDEPTH_seawater", "sea", "m", "mixed depth of the sea", "area"),
    ("TOTALDEPTH_lake", "country", "m", "mean depth of lakes", "lake"),
    ("TOTALDEPTH_saltlake", "country", "m", "mean depth of salt lakes", "saltlake"),
    ("DEPTH_nonagr", "country", "m", "mixing depth of natural and urban soil", "area"),
    ("AREA_lake", "country", "km2", "area of fresh-water lakes", "sum"),
    ("AREA_saltlake", "country", "km2", "area of salt lakes (the Caspian Sea included)", "sum"),
    ("AREA_lakesed", "country", "km2", "area of lake sediment", "sum"),
    ("AREA_seased", "sea", "km2", "area of sea sediment in contact with the mixed sea water",
     "sum"),
    ("AREA_landice", "country", "km2", "area of land ice", "sum"),
    ("V_river", "country", "km3", "volume of river water", "sum"),
    ("AEROSOLDEPRATE", "both", "m/h", "dry deposition velocity of aerosol particles", "area"),
    ("FLOW_soil_groundwater", "country", "km3/yr", "infiltration from soil to groundwater", "sum"),
    ("FLOW_river_agr", "country", "km3/yr", "irrigation from surface water", "sum"),
    ("FLOW_groundwater_river", "country", "km3/yr", "groundwater discharge into rivers", "sum"),
    ("FLOW_groundwater_agr", "country", "km3/yr", "irrigation from groundwater", "sum"),
    ("Fdrw_safe", "country", "-", "fraction of drinking water that is purified", "pop"),
    ("Fdrw_grw", "country", "-", "fraction of drinking water taken from groundwater", "pop"),
    ("CATCH_seafish", "sea", "t/yr", "catch of marine fish", "sum"),
    ("IH_drw", "country", "L/d", "drinking water intake per person", "pop"),
    ("IH_freshwaterfish", "country", "g/d", "freshwater fish intake per person", "pop"),
    ("IH_seafish", "country", "g/d", "marine fish intake per person", "pop"),
    ("IH_leafcrops", "country", "g/d", "intake of above-ground crops per person", "pop"),
    ("IH_rootcrops", "country", "g/d", "intake of root crops per person", "pop"),
    ("IH_meat", "country", "g/d", "meat intake per person", "pop"),
    ("IH_dairy", "country", "g/d", "dairy intake per person (milk equivalent)", "pop"),
    ("IH_air", "country", "m3/d", "air inhaled per person", "pop"),
] + [(f"{kind}_{food}", "country", "kt/yr", f"{text} of {label}", "sum")
     for kind, text in (("PROD", "production"), ("IMPORT", "import"), ("EXPORT", "export"))
     for food, label in (("freshwaterfish", "freshwater fish"), ("leafcrops", "above-ground crops"),
                         ("rootcrops", "root crops"), ("meat", "meat"),
                         ("dairy", "dairy (milk equivalent)"))] + [
    ("BW", "country", "kg", "body weight of an adult", "pop"),
    ("Npop", "country", "-", "population", "sum"),
]

PRECIPITATION = {}  # iso3 -> mm/yr, the hand-entered table tables/precipitation.csv
FOODS = ["freshwaterfish", "leafcrops", "rootcrops", "meat", "dairy"]


def num(s):
    return float(s) if s not in ("", None) else None


# Suspended sediment of rivers by the BQART model (Syvitski and Milliman
# 2007, Geology 35, 1009): Qs = w B Q^0.31 A^0.5 R T in Mt/yr, with Q the
# water discharge (km3/yr), A the basin area (km2), R its relief (km) and T
# its temperature (degC, at least 2); w = 0.0006. B (glaciers, lithology,
# reservoirs, people) is 1: the natural load of an average basin.
BQART_OMEGA = 0.0006
# Solids per m3 of run-off water at most (kg/m3): the mean of the Huang He,
# the most turbid of the large rivers. Desert countries with little runoff
# would otherwise get several times more.
MAX_RUNOFF_SOLIDS = 25.0
SOLID_DENSITY = 2500.0  # kg/m3, RHO_solid
# Catchment area of lakes over their own area.
DRAINAGE_RATIO = 15.0


def runoff_solids(runoff_km3, area_km2, relief_km, temp):
    """Fsolid_runoff (m3 solids per m3 of quick run-off): the BQART load of
    the country's own water as one basin, carried by its quick run-off
    (WATERrunoff, 60 % of the runoff)."""
    if runoff_km3 <= 0 or area_km2 <= 0:
        return 0.0
    qs = BQART_OMEGA * runoff_km3 ** 0.31 * area_km2 ** 0.5 * relief_km * max(temp, 2.0)
    conc = min(qs / (0.6 * runoff_km3), MAX_RUNOFF_SOLIDS)  # Mt per km3 = kg per m3
    return conc / SOLID_DENSITY


class Provenanced(dict):
    """A row of values with a provenance per value."""

    def __init__(self):
        super().__init__()
        self.prov = {}

    def put(self, name, value, prov):
        assert prov in ("source", "rule"), prov
        if value is None or (isinstance(value, float) and math.isnan(value)):
            raise ValueError(f"{name} has no value")
        self[name] = value
        self.prov[name] = prov


CLIMATE_WORDS = [
    ("semiarid", 0.6, "semiarid"), ("semi-arid", 0.6, "semiarid"), ("steppe", 0.6, "semiarid"),
    ("desert", 0.15, "desert"), ("arid", 0.35, "arid"), ("subtropical", 1.0, "plain"),
    ("tropical", 1.3, "humid"), ("rainy", 1.3, "humid"), ("monsoon", 1.3, "humid"),
    ("humid", 1.3, "humid"), ("wet", 1.3, "humid"), ("marine", 1.3, "marine"),
    ("maritime", 1.3, "marine"), ("oceanic", 1.3, "marine"), ("temperate", 1.0, "plain"),
    ("continental", 0.9, "plain"), ("mediterranean", 0.8, "plain"),
    ("subarctic", 0.7, "polar"), ("arctic", 0.6, "polar"), ("polar", 0.6, "polar"),
]


def climate_class(text):
    """Precipitation multiplier from the factbook's climate description: the
    geometric mean over the climate words of its first 60 characters (the
    leading, dominant climates), the plain words (temperate, subtropical)
    counting only when no other word is there; without a word there, the
    first climate word of the text. The class is the driest word's."""
    t = text.lower()
    found = []
    for word, mult, cls in CLIMATE_WORDS:
        for m in re.finditer(r"\b" + re.escape(word), t):
            if word == "arid" and t[max(0, m.start() - 5):m.start()].endswith(("semi", "semi-")):
                continue
            found.append((m.start(), word, mult, cls))
    if not found:
        return 1.0, "plain"
    found.sort()
    lead = [f for f in found if f[0] < 60] or found[:1]
    strong = [f for f in lead if f[3] != "plain"]
    used = strong or lead
    mult = math.exp(sum(math.log(f[2]) for f in used) / len(used))
    order = ["desert", "arid", "semiarid", "polar", "plain", "marine", "humid"]
    cls = min((f[3] for f in used), key=order.index)
    return mult, cls


RAIN_IN_TEXT = re.compile(r"(?:rainfall|rains)\b[^;]*?(\d+(?:\.\d+)?)(?:\s*-\s*(\d+(?:\.\d+)?))?"
                          r"\s*(mm|cm|m|inches)\b")
RAIN_UNIT_MM = {"mm": 1.0, "cm": 10.0, "m": 1000.0, "inches": 25.4}


def climate_text_rain(text):
    """The annual rain (mm) a factbook climate text states ("average annual
    rainfall is 60 cm", "rains 250-300 cm per year": the mid-point), or None.
    A figure for a part of the country ("up to 61 cm ... in the highlands")
    does not count."""
    m = RAIN_IN_TEXT.search(text)
    if not m or "up to" in text[max(0, m.start(1) - 12):m.start(1)]:
        return None
    lo = float(m.group(1))
    hi = float(m.group(2)) if m.group(2) else lo
    return 0.5 * (lo + hi) * RAIN_UNIT_MM[m.group(3)]


def pet_mm(temp, cls):
    """Potential evaporation (mm/yr) from the annual mean temperature; dry
    climates evaporate more at the same temperature."""
    pet = min(max(300.0 + 45.0 * temp, 100.0), 2000.0)
    return pet * (1.3 if cls in ("desert", "arid") else 1.0)


def fu_runoff(p, pet, omega=2.6):
    """Runoff (mm/yr) by Fu's form of the Budyko curve."""
    if p <= 0:
        return 0.0
    r = pet / p
    et = p * (1.0 + r - (1.0 + r ** omega) ** (1.0 / omega))
    return max(p - et, 0.0)


DESERT_CLIMATE_FACTOR = 0.5
# Rain is raised to match a country's runoff only where no dry word is in its
# climate text (a dry country's renewable water is often from elsewhere).
WET_CLIMATE_FACTOR = 0.8


def rain_for_runoff(q, pet):
    """The precipitation (mm/yr) from which fu_runoff gives q: between q and
    q + pet, since the evaporation never exceeds pet."""
    lo, hi = q, q + pet
    for _ in range(100):
        mid = 0.5 * (lo + hi)
        if fu_runoff(mid, pet) < q:
            lo = mid
        else:
            hi = mid
    return hi


def internal_runoff_km3(iso3, f):
    """The factbook's total renewable water less what the rivers of the
    transboundary table bring in; 0 when there is no figure or nothing is
    left."""
    if iso3 in INTERNAL_WATER:
        return INTERNAL_WATER[iso3]
    renewable = num(f.get("renewable_water_km3"))
    if not renewable:
        return 0.0
    return max(renewable - RIVER_INFLOW.get(iso3, 0.0), 0.0)


def frost_months(temp, lat, continental):
    amp = 1.0 + (0.24 if continental else 0.14) * abs(lat)
    return float(sum(1 for m in range(12) if temp + amp * math.cos(2 * math.pi * m / 12) < 0.0))


def lake_evaporation_mm(temp, lat, continental, cls):
    """Open-water evaporation (mm/yr): the potential evaporation of each
    ice-free month at that month's temperature (the seasonal cycle of
    frost_months). A cold country's lakes evaporate in summer, far more than
    its annual mean temperature says; a warm one's as its annual PET."""
    amp = 1.0 + (0.24 if continental else 0.14) * abs(lat)
    season = 0.0
    for m in range(12):
        t = temp + amp * math.cos(2 * math.pi * m / 12)
        if t > 0.0:
            season += pet_mm(t, cls) / 12.0
    return max(season, pet_mm(temp, cls))


def income_share(gdp_per_cap):
    """0 for 1,000 US$ per person and below, 1 for 40,000 and above, log-linear between."""
    if gdp_per_cap <= 1000:
        return 0.0
    if gdp_per_cap >= 40000:
        return 1.0
    return math.log(gdp_per_cap / 1000) / math.log(40.0)


# Walpole et al. (2012), BMC Public Health 12:439, mean adult body mass by region (kg).
BODY_WEIGHT = {"Africa": 60.7, "Asia": 57.7, "Europe": 70.8, "Latin America": 67.9,
               "North America": 80.7, "Oceania": 74.1, "World": 62.0}

# Where the diet departs from what income alone says (FAO food balance sheets,
# 2010s, rounded): factors on the income rule's meat and dairy intakes, by UN
# subregion, then by country where one stands out in its subregion.
DIET_SUBREGION = {  # subregion: (meat, dairy)
    "Eastern Asia": (1.0, 0.3), "South-Eastern Asia": (1.0, 0.15),
    "Western Africa": (0.4, 0.15), "Middle Africa": (0.6, 0.15),
}
DIET_COUNTRY = {  # iso3: (meat, dairy)
    "IND": (0.25, 2.0), "PAK": (1.1, 3.5), "BGD": (0.3, 0.6), "NPL": (0.35, 1.5),
    "LKA": (0.4, 1.0),
}

# Bounds of a country's production over its consumption before the world
# scaling. Freshwater fish is mostly farmed, and eaten near where it is
# raised: a country's lakes make it neither a large exporter nor importer.
FOOD_SELF_SUFFICIENCY = {"freshwaterfish": (0.5, 1.5), "leafcrops": (0.05, 5.0),
                         "rootcrops": (0.05, 5.0), "meat": (0.05, 5.0), "dairy": (0.05, 5.0)}

ROOT_CROPS = {"Africa": 350, "Europe": 220, "Oceania": 150, "South America": 150,
              "North America": 160, "Asia": 100, "Antarctic": 150}

# Land ice outside the factbook's ice-covered areas (Antarctica, Greenland):
# glacier areas by country, rounded from the published glacier inventories.
LAND_ICE_KM2 = {"CAN": 200000, "USA": 87000, "RUS": 60000, "NOR": 36000, "CHN": 59000,
                "CHL": 20000, "PAK": 15000, "ISL": 11000, "IND": 8000, "KGZ": 8000,
                "TJK": 8000, "ARG": 5000, "NPL": 4000, "AFG": 3000, "KAZ": 2000,
                "PER": 1300, "BTN": 1300, "SGS": 1600, "NZL": 1100, "CHE": 960, "ATF": 550,
                "HMD": 250, "AUT": 400, "ITA": 370, "SWE": 300, "BOL": 300, "FRA": 300,
                "ECU": 100, "COL": 50}

# Antarctica has no value in the temperature table and no neighbours: the
# continental annual mean of the ice sheet (interior near -55, coasts near -10).
ANTARCTIC_MEAN_TEMP = -50.0

EU_TRADE = 0.3  # intra-industry trade share of EEA countries
OTHER_TRADE = 0.1
SEAWATER_FREEZING_C = -1.8  # sea water of salinity 33-35 freezes at about -1.8 degC


AGRI_NOT_A_FIGURE_PCT = 99.5
URBAN_MIN_M2 = 10.0


def nearest_mean(target, rows, key, k=3):
    """Mean of key over the k nearest countries (by position) that have it."""
    cands = []
    for r in rows:
        v = r.get(key)
        if r is target or v is None:
            continue
        d = great_circle(target["lat"], target["lon"], r["lat"], r["lon"])
        cands.append((d, v))
    cands.sort()
    return sum(v for _, v in cands[:k]) / min(k, len(cands))


def latitude_slope(rows):
    """Least-squares slope of temperature against absolute latitude."""
    xs = [abs(r["lat"]) for r in rows]
    ys = [r["temp_src"] for r in rows]
    mx, my = sum(xs) / len(xs), sum(ys) / len(ys)
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)


def great_circle(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dl = math.radians(lon2 - lon1)
    c = math.sin(p1) * math.sin(p2) + math.cos(p1) * math.cos(p2) * math.cos(dl)
    return math.acos(max(-1.0, min(1.0, c)))


def country_inputs():
    countries = read_csv("countries.csv")
    fb = {r["iso3"]: r for r in read_csv("factbook.csv")}
    geo = {r["iso3"]: r for r in read_csv("country_geometry.csv")}
    wc = {c["cca3"]: c for c in node_json("world-countries", "countries.json")}
    temps = {ascii_name(t["country"]).lower(): t["temperature"]
             for t in node_json("country-json", "src", "country-by-yearly-average-temperature.json")}
    temp_alias = {"COD": "the democratic republic of congo", "FJI": "fiji islands",
                  "COG": "congo", "TLS": "east timor", "VAT": "holy see (vatican city state)",
                  "FSM": "micronesia, federated states of", "VGB": "virgin islands, british",
                  "VIR": "virgin islands, u.s.", "CZE": "czech republic", "SGS":
                  "south georgia and the south sandwich islands", "ATF": "french southern territories",
                  "PCN": "pitcairn", "MAC": "macao", "UMI": "united states minor outlying islands",
                  "SHN": "saint helena", "MKD": "north macedonia", "SWZ": "eswatini",
                  "CPV": "cape verde", "CIV": "ivory coast", "PSE": "palestine"}
    out = []
    for c in countries:
        iso3 = c["iso3"]
        f, g = fb[iso3], geo[iso3]
        w = wc.get("UNK" if iso3 == "XKX" else iso3)
        r = {"c": c, "f": f, "g": g, "iso3": iso3}
        r["lat"] = num(f.get("lat")) if f.get("lat") else w["latlng"][0]
        r["lon"] = num(f.get("lon")) if f.get("lon") else w["latlng"][1]
        r["pos_prov"] = "source"
        names = [temp_alias.get(iso3, ""), c["name"]] + \
            ([w["name"]["common"], w["name"]["official"]] + w.get("altSpellings", []) if w else [])
        t = next((temps[ascii_name(n).lower()] for n in names if ascii_name(n).lower() in temps),
                 None)
        r["temp_src"] = float(t) if t is not None else None
        out.append(r)
    return out


def route_water(results):
    """Surface irrigation takes only the river water a country has (its own
    and what the rivers bring in, less what flows on to its neighbours);
    what the rivers cannot give comes from groundwater reserves (the fossil
    aquifers of the Arabian peninsula and the Sahara), which do not feed the
    rivers. The Caspian Sea evaporates at the one rate at which the rivers
    that reach it make up its loss; each shore country's EVAP_saltlake is
    that rate over its share plus its other salt lakes."""
    by = {r["iso3"]: r for r in results}
    caspian = {i: r["caspian"] for i, r in by.items() if r["caspian"] > 0}
    other = {i: r["salt_ne"] * 0.8 * r["lake_evap"] * 1e-6 for i, r in by.items()}
    rain = {i: r["p"]["RAINRATE"] for i, r in by.items()}

    def countries():
        out = {}
        for i, r in by.items():
            p = r["p"]
            frac = routing.irrigation_consumed_fraction(p["RAINRATE"], r["lake_evap"])
            r["consumed_frac"] = frac
            out[i] = {"own": p["WATERrunoff"] + p["FLOW_groundwater_river"],
                      "consumed": frac * p["FLOW_river_agr"],
                      "has_sea": r["c"]["landlocked"] == "0",
                      "saltlake_other_km2": r["salt_ne"]}
        return out

    e = 0.0
    for _ in range(30):
        cs = countries()
        e = routing.caspian_rate(cs, caspian, other, rain)
        makeup = routing.saltlake_makeup(cs, caspian, other, rain, e)
        res = routing.route(cs, makeup)
        moved = False
        for i, d in res["deficit"].items():
            r = by[i]
            p = r["p"]
            if d <= 1e-9:
                continue
            if p["FLOW_river_agr"] > 0:
                shift = min(p["FLOW_river_agr"], d / r["consumed_frac"])
                p.put("FLOW_river_agr", p["FLOW_river_agr"] - shift, "rule")
                p.put("FLOW_groundwater_agr", p["FLOW_groundwater_agr"] + shift, "rule")
                moved = True
            elif i not in routing.CASPIAN_SHORE and makeup.get(i, 0.0) > 0:
                # A closed salt lake evaporates no more than the rain and the
                # rivers bring it: it shrinks (the Aral Sea).
                other[i] = max(other[i] - min(d, makeup[i]), 0.0)
                moved = True
        if not moved:
            break
    global CASPIAN_EVAPORATION_M
    CASPIAN_EVAPORATION_M = e
    print(f"Caspian Sea evaporation {e:.3f} m/yr")
    for i, r in by.items():
        r["p"].put("EVAP_saltlake", other[i] + e * r["caspian"] * 1e-3, "rule")


def build_countries():
    global PRECIPITATION
    PRECIPITATION = {r["iso3"]: float(r["precipitation_mm"]) for r in read_csv("precipitation.csv")}
    global RIVER_INFLOW, INTERNAL_WATER
    # Where the factbook's total counts a main stream that only passes the
    # border (Congo, Senegal, Parana) or has no figure: FAO AQUASTAT's
    # internal renewable water, entered by hand.
    INTERNAL_WATER = {r["iso3"]: float(r["internal_km3"]) for r in read_csv("internal_water.csv")}
    global FOOD_SUPPLY, LAKE_TOTALS
    LAKE_TOTALS = {r["iso3"]: float(r["total_km2"]) for r in read_csv("lake_areas.csv")}
    FOOD_SUPPLY = {r["iso3"]: {k: float(v) for k, v in r.items() if k != "iso3"}
                   for r in read_csv("food_supply.csv")}
    RIVER_INFLOW = {}
    for rf in read_csv("river_flows.csv"):
        RIVER_INFLOW[rf["to_iso3"]] = RIVER_INFLOW.get(rf["to_iso3"], 0.0) + float(rf["km3_per_yr"])
    rows = country_inputs()
    for r in rows:
        r["temp"] = r["temp_src"]
    known = [x for x in rows if x["temp_src"] is not None]
    slope = latitude_slope(known)
    for r in rows:
        if r["temp"] is None:
            if r["iso3"] == "ATA":
                r["temp"] = ANTARCTIC_MEAN_TEMP
            else:
                # The nearest countries' temperatures, moved along the
                # world-wide gradient with latitude to this country's.
                moved = [dict(x, t=x["temp_src"] + slope * (abs(r["lat"]) - abs(x["lat"])))
                         for x in known]
                r["temp"] = nearest_mean(r, moved, "t")

    results = []
    for r in rows:
        c, f, g = r["c"], r["f"], r["g"]
        p = Provenanced()
        lake = num(g["lake_km2"])
        salt_ne = num(g["saltlake_km2"]) - num(g["caspian_km2"])
        # The Natural Earth lakes miss most small lakes: a national total of
        # all lakes (fresh and salt, without the Caspian), where published,
        # gives the fresh lakes as the total less the salt lakes on the map.
        # The added lakes are 10 m deep.
        lake_ne = lake
        if c["iso3"] in LAKE_TOTALS:
            lake = max(lake, LAKE_TOTALS[c["iso3"]] - salt_ne)
        r["lake_src"] = "table" if lake > lake_ne else "map"
        r["lake_ne"] = lake_ne
        caspian = num(g["caspian_km2"])
        urban = num(g["urban_km2"])
        poly = num(g["polygon_km2"])
        land = num(f.get("land_km2"))
        if land is not None and land > 0:
            p.put("SYSTEMAREA", land, "source")
        elif num(f.get("total_km2")):
            p.put("SYSTEMAREA", max(num(f["total_km2"]) - lake - salt_ne, 0.5 * num(f["total_km2"])),
                  "source")
        else:
            p.put("SYSTEMAREA", poly - lake - salt_ne, "source")
        area = p["SYSTEMAREA"]
        r["area"] = area

        p.put("TEMP", r["temp"], "source" if r["temp_src"] is not None else "rule")
        temp = r["temp"]
        mult, cls = climate_class(f.get("climate", ""))
        small_island = c["landlocked"] == "0" and area < 20000
        pet = pet_mm(temp, cls)
        # The internal runoff the factbook gives (km3/yr), or 0 (see below).
        known = internal_runoff_km3(r["iso3"], f)
        q_known = known / area * 1e6 if area > 0 else 0.0  # km3 over km2 -> mm
        text_rain = climate_text_rain(f.get("climate", ""))
        if r["iso3"] in PRECIPITATION:
            rain = PRECIPITATION[r["iso3"]]
            p.put("RAINRATE", rain, "source")
        elif text_rain is not None:
            # The factbook's climate text gives the rain of a few small
            # territories (Falkland Islands: 60 cm in Stanley).
            rain = text_rain
            p.put("RAINRATE", rain, "source")
        else:
            if small_island:
                # Maritime rain, but a dry climate keeps its own (Bahrain).
                rain = interp(ZONAL_OCEAN_RAIN, r["lat"]) * min(mult, 1.0)
            else:
                rain = interp(ZONAL_LAND_RAIN, r["lat"]) * mult
            # The zonal rain of a wet mountain country (Iceland, Nepal,
            # Taiwan) is often less than the water that leaves it: then the
            # rain is the one from which the Budyko curve gives that runoff.
            if mult >= WET_CLIMATE_FACTOR and 0 < q_known and fu_runoff(rain, pet) < q_known:
                rain = rain_for_runoff(q_known, pet)
            p.put("RAINRATE", rain, "rule")
        # A desert's renewable water is mostly groundwater from elsewhere: the
        # factbook figure counts there only when its rain could give it.
        if mult < DESERT_CLIMATE_FACTOR and q_known > rain:
            known = 0.0
        r["known_runoff"] = known
        q = fu_runoff(rain, pet)  # internal runoff, mm/yr
        ai = rain / pet
        r["ai"] = ai

        # Land use: factbook agricultural share, urban share from the urban
        # area polygons, lakes inside the land area; natural is the rest.
        agri = num(f.get("agri_pct"))
        # The factbook gives Sudan 100 %: its deserts counted as pasture. A
        # whole country farmed is no figure; the neighbours' rule fills it.
        if agri is not None and agri >= AGRI_NOT_A_FIGURE_PCT:
            agri = None
        r["agri_src"] = agri / 100.0 if agri is not None else None
        r["cls"], r["q"], r["pet"], r["small_island"] = cls, q, pet, small_island
        # Relief: the highest point over the lowest (sea level for a coast,
        # a valley floor for a land-locked country); no lowest point: 0.
        high, low = num(f.get("highest_m")), num(f.get("lowest_m"))
        r["relief_km"] = (high - (low or 0.0)) / 1000.0 if high is not None else None
        r["p"] = p
        r["lake"], r["salt_ne"], r["caspian"], r["urban"] = lake, salt_ne, caspian, urban
        results.append(r)

    for r in results:
        if r["agri_src"] is None:
            r["agri"] = nearest_mean(r, [x for x in results if x["agri_src"] is not None],
                                     "agri_src")
        else:
            r["agri"] = r["agri_src"]

    gdp_pc = {}
    for r in results:
        f = r["f"]
        pop = num(f.get("population"))
        r["pop_src"] = pop
        gdp = num(f.get("gdp_usd"))
        if pop and gdp:
            gdp_pc[r["iso3"]] = gdp / pop
    for r in results:
        r["gdppc_src"] = gdp_pc.get(r["iso3"])

    # The Natural Earth urban polygons leave out small towns and most island
    # capitals (Malta, Fiji and Bhutan have none). Where they give a country
    # less than URBAN_MIN_M2 per inhabitant, it gets the median urban area per
    # inhabitant of the 15 countries nearest to it in GDP per inhabitant
    # (urban land per person grows with income) among those above the
    # threshold; without a GDP figure, the median of all of those.
    known = [(math.log(r["gdppc_src"]), r["urban"] / r["pop_src"]) for r in results
             if r["pop_src"] and r["gdppc_src"] and r["urban"] * 1e6 / r["pop_src"] >= URBAN_MIN_M2]
    for r in results:
        pop = r["pop_src"]
        r["urban_src"] = not pop or r["urban"] * 1e6 / pop >= URBAN_MIN_M2
        if not r["urban_src"]:
            if r["gdppc_src"]:
                g = math.log(r["gdppc_src"])
                near = sorted(known, key=lambda x: abs(x[0] - g))[:15]
            else:
                near = known
            vals = sorted(x[1] for x in near)
            r["urban"] = pop * vals[len(vals) // 2]

    # No elevation figures (Aland Islands): the median relief of the small islands.
    islands = sorted(r["relief_km"] for r in results
                     if r["small_island"] and r["relief_km"] is not None)
    for r in results:
        if r["relief_km"] is None:
            r["relief_km"] = islands[len(islands) // 2]

    for r in results:
        p, c, f = r["p"], r["c"], r["f"]
        area, temp, rain, q, ai, cls = r["area"], p["TEMP"], p["RAINRATE"], r["q"], r["ai"], r["cls"]
        lakefrac = min((r["lake"] + r["salt_ne"]) / area, 1.0) if area > 0 else 0.0
        agri = min(r["agri"], 1.0 - lakefrac)
        urb = min(r["urban"] / area if area > 0 else 0.0, 1.0 - agri - lakefrac)
        p.put("Farea_agr", agri, "source" if r["agri_src"] is not None else "rule")
        p.put("Farea_urb", max(urb, 0.0), "source" if r["urban_src"] else "rule")
        p.put("Farea_nat", max(1.0 - agri - max(urb, 0.0) - lakefrac, 0.0),
              "source" if r["agri_src"] is not None else "rule")

        # Soil properties by aridity index (precipitation / potential evaporation).
        if ai < 0.2:
            fw, fa = 0.10, 0.30
        elif ai < 0.5:
            fw, fa = 0.15, 0.25
        elif ai < 1.0:
            fw, fa = 0.20, 0.20
        else:
            fw, fa = 0.25, 0.15
        for name, v in (("Fair_agr", fa), ("Fair_nonagr", fa), ("Fwater_agr", fw),
                        ("Fwater_nonagr", fw)):
            p.put(name, v, "rule")
        if ai < 0.2:
            foc = 0.005
        elif ai < 0.5:
            foc = 0.01
        elif temp < 0:
            foc = 0.05
        elif temp < 12:
            foc = 0.03
        else:
            foc = 0.015
        p.put("Foc_soil", foc, "rule")
        p.put("Foc_sed", 0.05, "rule")
        p.put("Foc_susp", 0.1, "rule")
        p.put("OHCONC_air", oh_concentration(r["lat"]), "rule")
        if ai < 0.5:
            tss = 100.0
        elif temp > 20 and ai > 1.0:
            tss = 50.0
        elif temp < 0:
            tss = 10.0
        else:
            tss = 20.0
        # mg/L over the suspended matter density (solids 10 % of 2500 kg/m3)
        p.put("SUSPFRACTION_inlandwater", tss * 1e-3 / 250.0, "rule")

        continental = c["landlocked"] == "1" or area > 1e6 or "continental" in f.get(
            "climate", "").lower()
        frost = frost_months(temp, r["lat"], continental)
        r["lake_evap"] = lake_evaporation_mm(temp, r["lat"], continental, cls)
        p.put("FROSTMONTHS", frost, "rule")
        p.put("Friver_frozen", frost / 12.0, "rule")
        p.put("RAINDAYS", min(max(rain / 6.0, 5.0), 250.0), "rule")
        wind = 3.5 + (1.5 if r["small_island"] else 0.0) + (1.0 if abs(r["lat"]) > 60 else 0.0)
        p.put("WINDSPEED", wind, "rule")
        p.put("DEPTH_nonagr", 0.1, "rule")
        p.put("AEROSOLDEPRATE", 3.6, "rule")

        # Water: the internal runoff is the factbook's total renewable water
        # less what the rivers bring in from upstream (the transboundary
        # table); the Budyko curve stands in where that leaves nothing, or
        # where there is no figure. The curve on annual means misses most of
        # a monsoon's runoff (India: a quarter), so the figure comes first.
        # 60 % of it is quick surface run-off, 40 % goes through groundwater.
        soil_area = area * (p["Farea_agr"] + p["Farea_nat"] + p["Farea_urb"])
        internal = r["known_runoff"]
        if internal > 0 and soil_area > 0:
            runoff_km3, wprov = internal, "source"
        else:
            runoff_km3, wprov = q * soil_area * 1e-6, "rule"
        p.put("WATERrunoff", 0.6 * runoff_km3, wprov)
        p.put("Fsolid_runoff", runoff_solids(runoff_km3, area, r["relief_km"], temp), "rule")
        p.put("FLOW_soil_groundwater", 0.4 * runoff_km3, wprov)
        renewable = num(f.get("renewable_water_km3"))
        discharge = renewable if renewable else runoff_km3
        r["discharge"] = discharge
        p.put("V_river", discharge * 18.0 / 365.0, "source" if renewable else "rule")
        withdrawal = num(f.get("withdrawal_km3"))
        agr_share = num(f.get("withdrawal_agr_pct"))
        if withdrawal is not None and agr_share is not None:
            irrigation, iprov = withdrawal * agr_share / 100.0, "source"
        else:
            irrigation, iprov = None, "rule"
        r["irrigation"], r["iprov"] = irrigation, iprov
        p.put("AREA_lake", r["lake"], "source")
        p.put("AREA_lakesed", r["lake"], "rule")
        p.put("AREA_saltlake", r["salt_ne"] + r["caspian"], "source")
        depth = num(r["g"]["lake_mean_depth_m"]) or 10.0
        if r["lake"] > r["lake_ne"]:
            depth = (r["lake_ne"] * depth + (r["lake"] - r["lake_ne"]) * 10.0) / r["lake"]
        p.put("TOTALDEPTH_lake", depth, "source" if r["lake"] > 0 else "rule")
        p.put("MIXDEPTH_lake", min(depth, 15.0), "rule")
        sdepth = num(r["g"]["saltlake_mean_depth_m"]) or 5.0
        p.put("TOTALDEPTH_saltlake", sdepth, "source" if p["AREA_saltlake"] > 0 else "rule")
        p.put("EVAPrate_lake", r["lake_evap"] / 1000.0, "rule")
        p.put("EVAP_saltlake", p["AREA_saltlake"] * 0.8 * r["lake_evap"] / 1000.0 * 1e-3, "rule")
        # The lakes take the water of their own catchments, DRAINAGE_RATIO
        # times their area, not all the rivers of the country.
        lake_km3 = r["lake"] * depth * 1e-3
        through = discharge * min(1.0, DRAINAGE_RATIO * r["lake"] / area) if area > 0 else 0.0
        restime = lake_km3 / through if through > 0 else 100.0
        p.put("RESTIME_lake", min(max(restime, 0.05), 200.0) if r["lake"] > 0 else 1.0, "rule")
        ice = num(f.get("ice_km2"))
        if ice:
            p.put("AREA_landice", ice, "source")
        else:
            p.put("AREA_landice", float(LAND_ICE_KM2.get(r["iso3"], 0)), "rule")

    # Irrigation where the factbook has no withdrawals: the median irrigation
    # per km2 of agricultural land of the same UN subregion.
    per_agr = {}
    for r in results:
        if r["irrigation"] is not None:
            agr_km2 = r["area"] * r["p"]["Farea_agr"]
            if agr_km2 > 0:
                per_agr.setdefault(r["c"]["subregion"], []).append(r["irrigation"] / agr_km2)
    for r in results:
        if r["irrigation"] is None:
            vals = sorted(per_agr.get(r["c"]["subregion"], [0.0]))
            r["irrigation"] = vals[len(vals) // 2] * r["area"] * r["p"]["Farea_agr"]
        p = r["p"]
        p.put("FLOW_river_agr", 0.6 * r["irrigation"], r["iprov"])
        p.put("FLOW_groundwater_agr", 0.4 * r["irrigation"], r["iprov"])
        p.put("FLOW_groundwater_river",
              0.9 * max(p["FLOW_soil_groundwater"] - p["FLOW_groundwater_agr"], 0.0), "rule")
    route_water(results)

    # People.
    for r in results:
        p, c, f = r["p"], r["c"], r["f"]
        if r["pop_src"] is not None:
            p.put("Npop", r["pop_src"], "source")
        else:
            # density of the nearest countries
            dens = nearest_mean(r, [dict(x, d=x["pop_src"] / x["area"]) for x in results
                                    if x["pop_src"] and x["area"] > 0], "d", k=1)
            p.put("Npop", round(dens * r["area"]), "rule")
    for r in results:
        p, f = r["p"], r["f"]
        gdp = num(f.get("gdp_usd"))
        if gdp is not None and gdp > 0:
            r["gdp"], r["gdp_prov"] = gdp, "source"
        else:
            pc = nearest_mean(r, [dict(x, v=x["gdppc_src"]) for x in results
                                  if x["gdppc_src"] is not None], "v", k=1)
            r["gdp"], r["gdp_prov"] = pc * p["Npop"], "rule"
        r["gdppc"] = r["gdp"] / p["Npop"] if p["Npop"] > 0 else 0.0

    for r in results:
        p, c, f = r["p"], r["c"], r["f"]
        share = income_share(r["gdppc"])
        improved = num(f.get("improved_water_pct"))
        if improved is not None:
            p.put("Fdrw_safe", improved / 100.0, "source")
        else:
            r["need_safe"] = True
        if r["area"] < 1000 and c["landlocked"] == "0":
            grw = 0.3
        elif c["continent"] == "Europe":
            grw = 0.7
        elif r["ai"] < 0.2:
            grw = 0.9
        elif r["ai"] < 0.5:
            grw = 0.7
        elif p["TEMP"] > 20 and r["ai"] > 1.0:
            grw = 0.4
        else:
            grw = 0.5
        p.put("Fdrw_grw", grw, "rule")
        p.put("IH_drw", min(max(1.4 + 0.055 * (p["TEMP"] - 10.0), 1.4), 2.5), "rule")
        p.put("IH_air", 16.0, "rule")
        meat, dairy = DIET_COUNTRY.get(r["iso3"], DIET_SUBREGION.get(c["subregion"], (1.0, 1.0)))
        p.put("IH_meat", (25.0 + 175.0 * share) * meat, "rule")
        p.put("IH_dairy", (80.0 + 470.0 * share) * dairy, "rule")
        p.put("IH_leafcrops", 550.0 + 200.0 * share, "rule")
        p.put("IH_rootcrops", float(ROOT_CROPS[c["continent"]]), "rule")
        landlocked = c["landlocked"] == "1"
        if landlocked:
            fish = 10.0
        elif r["small_island"]:
            fish = 120.0
        else:
            fish = 30.0 + 40.0 * share
        # Rich countries eat sea fish (and farmed salmon) whatever their
        # lakes; where people eat what inland waters and ponds give, the
        # freshwater share goes down with income.
        if landlocked:
            fresh_share = 0.9 - 0.6 * share
        elif r["lake"] / max(r["area"], 1e-9) > 0.02:
            fresh_share = 0.6 - 0.5 * share
        elif c["subregion"] in ("Southern Asia", "South-Eastern Asia", "Eastern Asia"):
            fresh_share = 0.6 - 0.5 * share
        else:
            fresh_share = 0.1
        # National food supply (FAO food balance sheets) where published:
        # meat, milk, fish and starchy roots in kg per person and year; the
        # freshwater share of the fish stays the rule's.
        fbs = FOOD_SUPPLY.get(r["iso3"])
        fprov = "rule"
        if fbs:
            per_day = 1000.0 / 365.0
            p.put("IH_meat", fbs["meat_kg"] * per_day, "source")
            p.put("IH_dairy", fbs["dairy_kg"] * per_day, "source")
            p.put("IH_rootcrops", fbs["roots_kg"] * per_day, "source")
            fish, fprov = fbs["fish_kg"] * per_day, "source"
        p.put("IH_freshwaterfish", fish * fresh_share, fprov)
        p.put("IH_seafish", fish * (1.0 - fresh_share), fprov)
        cont, sub = c["continent"], c["subregion"]
        if cont == "North America":
            bw = BODY_WEIGHT["North America"] if sub == "North America" and r["iso3"] != "MEX" \
                else BODY_WEIGHT["Latin America"]
        elif cont == "South America":
            bw = BODY_WEIGHT["Latin America"]
        elif cont in BODY_WEIGHT:
            bw = BODY_WEIGHT[cont]
        else:
            bw = BODY_WEIGHT["World"]
        p.put("BW", bw, "source")
    for r in results:
        if r.get("need_safe"):
            if r["gdppc"] >= 20000:
                v = 1.0
            else:
                v = nearest_mean(r, [dict(x, v=x["p"]["Fdrw_safe"]) for x in results
                                     if "Fdrw_safe" in x["p"]], "v")
            r["p"].put("Fdrw_safe", v, "rule")

    # Food: consumption from intakes; production from the agricultural (or
    # inland water) area per person relative to the world, scaled so that
    # the world produces what it eats; trade balances each country.
    # Crops grow on cropland (arable land and permanent crops), animals on all
    # agricultural land: Saudi Arabia's and Mongolia's pastures grow no crops.
    # Without a cropland figure the world's cropland share of farmland.
    known_crop = [(num(r["f"].get("crop_pct")) / 100.0 * r["area"], r["area"] * r["p"]["Farea_agr"])
                  for r in results if num(r["f"].get("crop_pct")) is not None]
    crop_share = sum(c for c, _ in known_crop) / sum(a for _, a in known_crop)

    def capacity(r, food):
        if food == "freshwaterfish":
            return r["lake"] + 0.002 * r["area"]
        if food in ("leafcrops", "rootcrops"):
            crop = num(r["f"].get("crop_pct"))
            if crop is not None:
                return r["area"] * min(crop / 100.0, r["p"]["Farea_agr"])
            return r["area"] * r["p"]["Farea_agr"] * crop_share
        return r["area"] * r["p"]["Farea_agr"]

    for food in FOODS:
        cons = {}
        raw = {}
        for r in results:
            n = r["p"]["Npop"]
            cons[r["iso3"]] = n * r["p"][f"IH_{food}"] * 365.0 / 1e9  # kt/yr
        world_cap = sum(capacity(r, food) for r in results)
        world_pop = sum(r["p"]["Npop"] for r in results)
        for r in results:
            n = r["p"]["Npop"]
            if n <= 0:
                raw[r["iso3"]] = 0.0
                continue
            rel = (capacity(r, food) / n) / (world_cap / world_pop)
            low, high = FOOD_SELF_SUFFICIENCY[food]
            raw[r["iso3"]] = cons[r["iso3"]] * min(max(math.sqrt(rel), low), high)
        scale = sum(cons.values()) / sum(raw.values())
        for r in results:
            c_ = cons[r["iso3"]]
            prod = raw[r["iso3"]] * scale
            net = prod - c_
            g = EU_TRADE if r["c"]["eu27plus3"] else OTHER_TRADE
            t = g * min(prod, c_)
            r["p"].put(f"PROD_{food}", prod, "rule")
            r["p"].put(f"EXPORT_{food}", max(net, 0.0) + t, "rule")
            r["p"].put(f"IMPORT_{food}", max(-net, 0.0) + t, "rule")
    return results


def sea_catches(seas):
    """The published catch of each FAO major fishing area (about 2014) shared
    among the seas in it (tables/fishing_areas.csv, sea_fishing_areas.csv):
    a sea that straddles areas counts in each with the share of it that lies
    there; within an area the catch goes by shelf area plus 5 % of the open
    sea, times the open-water fraction (an ice-covered month yields
    nothing)."""
    weight = {}
    for s in seas:
        a, shelf = float(s["area_km2"]), float(s["shelf_km2"])
        weight[s["name"]] = (shelf + 0.05 * (a - shelf)) * (1.0 - float(s["ice_fraction"]))
    areas = {r["area"]: float(r["catch_t"]) for r in read_csv("fishing_areas.csv")}
    members = {}
    for r in read_csv("sea_fishing_areas.csv"):
        members.setdefault(r["area"], []).append((r["sea"], float(r["share"])))
    catch = {s["name"]: 0.0 for s in seas}
    for area, total in areas.items():
        parts = members[area]
        wsum = sum(weight[sea] * share for sea, share in parts)
        for sea, share in parts:
            catch[sea] += total * weight[sea] * share / wsum
    return catch


def build_seas():
    seas = read_csv("seas.csv")
    climate = {(r["sea"], r["quantity"]): float(r["value"]) for r in read_csv("sea_climate.csv")}
    for s in seas:
        if (s["name"], "ice_fraction") in climate:
            s["ice_fraction"] = str(climate[(s["name"], "ice_fraction")])
    catch = sea_catches(seas)
    out = []
    for s in seas:
        p = Provenanced()
        a, shelf, depth = float(s["area_km2"]), float(s["shelf_km2"]), float(s["mean_depth_m"])
        sf = shelf / a
        p.put("SYSTEMAREA", a, "source")
        ice = climate.get((s["name"], "ice_fraction"))
        ice_prov = "source"
        if ice is None:
            ice = float(s["ice_fraction"])
        # The ships' means are of the months without ice: the water under
        # the ice is at its freezing point.
        p.put("TEMP", ice * SEAWATER_FREEZING_C + (1.0 - ice) * float(s["sst_c"]),
              "source" if ice == 0 else "rule")
        rain = climate.get((s["name"], "rain_mm"))
        if rain is None:
            p.put("RAINRATE", float(s["zonal_rain_mm"]), "rule")
        else:
            p.put("RAINRATE", rain, "source")
        p.put("OHCONC_air", float(s["oh_per_cm3"]), "rule")
        p.put("Farea_seaice", ice, ice_prov)
        p.put("Foc_seased", 0.02 * sf + 0.005 * (1 - sf), "rule")
        p.put("Foc_seasusp", 0.1, "rule")
        p.put("SUSPFRACTION_seawater", (5.0 * sf + 1.0 * (1 - sf)) * 1e-3 / 250.0, "rule")
        p.put("MIXDEPTH_seawater", min(depth, 100.0), "rule")
        p.put("AREA_seased", shelf, "source")
        p.put("AEROSOLDEPRATE", 1.8, "rule")
        p.put("CATCH_seafish", catch[s["name"]], "source")
        out.append((s, p))
    return out


def main():
    countries = build_countries()
    names = [n for n, kind, *_ in PARAMETERS if kind in ("country", "both")]
    rows = []
    for r in countries:
        row = {"row": r["c"]["row"], "name": r["c"]["name"], "iso3": r["iso3"],
               "latitude": fmt(r["lat"], 6), "longitude": fmt(r["lon"], 6),
               "GDP": fmt(r["gdp"], 6), "GDP_prov": r["gdp_prov"]}
        for n in names:
            row[n] = fmt(r["p"][n], 6)
            row[n + "_prov"] = r["p"].prov[n]
        rows.append(row)
    write_csv("country_parameters.csv", list(rows[0].keys()), rows)

    seas = build_seas()
    snames = [n for n, kind, *_ in PARAMETERS if kind in ("sea", "both")]
    srows = []
    for s, p in seas:
        row = {"row": s["row"], "name": s["name"], "abbr": s["abbr"], "ocean": s["ocean"],
               "latitude": s["lat"], "longitude": s["lon"]}
        for n in snames:
            row[n] = fmt(p[n], 6)
            row[n + "_prov"] = p.prov[n]
        srows.append(row)
    write_csv("sea_parameters.csv", list(srows[0].keys()), srows)

    prov = []
    for n, kind, *_ in PARAMETERS:
        for sheet, table, keys in (("countryparameters", rows, ("country", "both")),
                                   ("seaparameters", srows, ("sea", "both"))):
            if kind in keys:
                src = sum(1 for t in table if t[n + "_prov"] == "source")
                prov.append({"parameter": n, "sheet": sheet, "source": src,
                             "rule": len(table) - src})
    src = sum(1 for t in rows if t["GDP_prov"] == "source")
    prov.append({"parameter": "GDP", "sheet": "countryparameters", "source": src,
                 "rule": len(rows) - src})
    write_csv("provenance.csv", ["parameter", "sheet", "source", "rule"], prov)


if __name__ == "__main__":
    main()
