#!/usr/bin/python3
"""Degradation half-lives, measured Koc, OH rate constants and measured fish
bioconcentration factors of the substances table, taken from the table of
published values published.csv.

    /usr/bin/python3 data/substances/published.py            # check (the default)
    /usr/bin/python3 data/substances/published.py --apply    # write the values into substances.csv
                                                             # and the conversion lines into SOURCES.md
    /usr/bin/python3 data/substances/published.py --report   # Koc against the class regressions
    /usr/bin/python3 data/substances/published.py --markdown # the conversion lines of SOURCES.md
    /usr/bin/python3 data/substances/published.py --selftest # the check finds planted errors

published.csv holds one published value a line, in the unit and at the
temperature of its source: name, parameter (a column of substances.csv),
value, unit, temp_C, temp_basis ("stated" by the source or "assumed"),
source (a key listed in SOURCES.md) and remark. The conversions into the
units of substances.csv are the ones below and nothing else; --apply writes
them, the check recomputes them and fails when an entered value differs
from its published value by more than rounding (a unit slip or a typing
error), when a published value lies outside the range its unit allows,
when an organic lacks a value the model should not default, or when a
value in a converted column has no published line, or when SOURCES.md
lacks a conversion line that --markdown prints. Standard library only.
"""

import csv
import math
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, "substances.csv")
PUBLISHED = os.path.join(HERE, "published.csv")

# Constants of the conversions (also the program's defaults).
TEMPTEST = 298.0           # K: the program's test temperature of entered half-lives, taken as 25 C
TEMPCOEFF = 0.08           # 1/K: the program's half-life temperature correction exp(0.08 (TEMPtest - T))
OHREF = 1.05e6             # molecules/cm3: the environment's reference OH concentration
SALINITYCORR = 0.3         # the environment's default salt-water factor for half-lives
RGAS = 8.314472            # J/(mol K)
RHOSOLID = 2500.0          # kg/m3: density of soil solids in the equilibrium-partitioning PNEC
YEAR = 365.25              # d

SECONDS = {"h": 3600.0, "d": 86400.0, "yr": YEAR * 86400.0}

# Columns of substances.csv that this script owns for organic substances.
HALFLIVES = ["DT50bio_freshwater_TEMPtest", "DT50aerbio_sed_TEMPtest", "DT50anaerbio_sed",
             "DT50bio_soil_TEMPtest"]
DERIVED = ["DT50aerbio_seased_TEMPtest", "DT50photo_air"]
PUBLISHABLE = ["Koc", "krad_OH", "BCF_fish"] + HALFLIVES
# Parameters without a test temperature.
NOTEMPERATURE = ("Koc", "BCF_fish")
# Columns every organic must have after --apply (no infinite or class-rule biodegradation).
ORGANICNEEDS = ["krad_OH", "DT50photo_air", "DT50bio_freshwater_TEMPtest", "DT50aerbio_sed_TEMPtest",
                "DT50anaerbio_sed", "DT50aerbio_seased_TEMPtest", "DT50bio_soil_TEMPtest"]

# Units a published value may come in, per parameter, and the range of plausible
# published values in that unit (a value outside was typed in another unit).
UNITS = {
    "Koc": {"L/kg": (0.1, 1e8), "log L/kg": (-1.0, 8.0)},
    "krad_OH": {"cm3/molecule/s": (1e-16, 1e-9)},
    "BCF_fish": {"L/kg": (0.1, 1e7)},
}
for _h in HALFLIVES:
    UNITS[_h] = {"h": (1.0, 1e6), "d": (0.04, 4e4), "yr": (1e-4, 100.0)}

# Organic class regressions of the program (Koc = a Kow^b / 1000, m3/kg).
CLASSES = {
    "nonhydrophobic": (10.47, 0.52), "acetanilide": (13.18, 0.4), "alcohol": (3.16, 0.39),
    "amide": (17.78, 0.33), "aniline": (7.08, 0.62), "carbamate": (13.8, 0.37),
    "dinitroaniline": (83.18, 0.38), "ester": (11.22, 0.49), "nitrobenzene": (3.55, 0.77),
    "organic acid": (2.09, 0.6), "phenol": (12.02, 0.57), "benzonitrile": (12.02, 0.57),
    "phenylurea": (11.22, 0.49), "phosphate": (14.79, 0.49), "triazine": (31.62, 0.3),
    "triazole": (25.7, 0.47), "uracil": (12.3, 0.47),
}
UNCLASSIFIED = (1.26, 0.81)

RELTOL = 1e-3  # entered values carry four significant digits

# Half-lives from temperate field studies that state no temperature are taken
# at the mean temperature of the European environment of the EU Technical
# Guidance Document and the REACH guidance, rather than at the laboratory's
# 25 C: the program corrects them for the region's temperature, and a field
# value read as 25 C would be corrected for the cold a second time.
FIELDTEMP = 12.0  # C


def isfield(line):
    """A half-life measured in the field, or derived from one (the remark says so)."""
    return "field half-li" in line["remark"].lower()

OLDPHRASES = [
    "water and sediment half-lives from the program's biodegradability class, ",
    "; estimated: water and sediment half-lives from the program's biodegradability class",
]
MARK = "; degradation half-lives, Koc, kOH: "
MARKBCF = "; degradation half-lives, Koc, kOH, fish BCF: "


class Checkerror(Exception):
    pass


def isorganic(row):
    return row["substype"] not in ("metal", "gas")


def fmt(x):
    """Four significant digits, written like the rest of the table (1.47e-7, 4.715e6, 8360)."""
    if x == 0:
        return "0"
    text = "%.4g" % x
    if "e" in text:
        mantissa, exponent = text.split("e")
        text = mantissa + "e" + str(int(exponent))
    return text


def classkoc(row):
    """The program's regression estimate of Koc in m3/kg."""
    a, b = CLASSES.get(row["substype"], UNCLASSIFIED)
    return a * float(row["Kow"]) ** b / 1000.0


def tocolumn(line):
    """Converts one published line into (column, value in the table's unit)."""
    value = float(line["value"])
    unit = line["unit"]
    parameter = line["parameter"]
    if parameter == "Koc":
        litres = 10.0 ** value if unit == "log L/kg" else value
        return litres / 1000.0
    if parameter == "krad_OH":
        return value * OHREF
    if parameter == "BCF_fish":
        return value / 1000.0
    # Half-life at 25 C from the one at the published temperature, by the program's
    # own correction (a half-life grows by exp(0.08) per kelvin of cooling).
    return value * SECONDS[unit] * math.exp(TEMPCOEFF * (float(line["temp_C"]) - 25.0))


def readpublished(path=PUBLISHED):
    with open(path, newline="", encoding="utf-8") as f:
        lines = list(csv.DictReader(f))
    return lines, validate(lines)


def validate(lines):
    """Unit, range, temperature and source checks of the published lines."""
    problems = []
    seen = set()
    for n, line in enumerate(lines, start=2):
        where = "published.csv line %d (%s %s)" % (n, line["name"], line["parameter"])
        p = line["parameter"]
        if p not in UNITS:
            problems.append(where + ": not a parameter this table converts")
            continue
        if (line["name"], p) in seen:
            problems.append(where + ": given twice")
        seen.add((line["name"], p))
        if not line["source"].strip():
            problems.append(where + ": no source")
        if line["unit"] not in UNITS[p]:
            problems.append(where + ": unit %r not one of %s" % (line["unit"], sorted(UNITS[p])))
            continue
        try:
            value = float(line["value"])
        except ValueError:
            problems.append(where + ": value %r is not a number" % line["value"])
            continue
        low, high = UNITS[p][line["unit"]]
        if not low <= value <= high:
            problems.append(where + ": %s %s outside [%g, %g]: wrong unit?" %
                            (line["value"], line["unit"], low, high))
        if p not in NOTEMPERATURE:
            if line["temp_basis"] not in ("stated", "assumed"):
                problems.append(where + ": temp_basis must be stated or assumed")
            try:
                t = float(line["temp_C"])
                if not -30.0 <= t <= 40.0:
                    problems.append(where + ": temperature %s C implausible" % line["temp_C"])
                if isfield(line) and line["temp_basis"] == "assumed" and t == 25.0:
                    problems.append(where + ": a field half-life without a stated temperature is "
                                    "taken at %g C (temperate field studies), not 25 C" % FIELDTEMP)
            except ValueError:
                problems.append(where + ": no test temperature")
    return problems


def expected(rows, lines):
    """The value every owned cell should hold: {(name, column): (value, published line or rule)}."""
    byname = {r["name"]: r for r in rows}
    want = {}
    for line in lines:
        if line["name"] not in byname or line["parameter"] not in UNITS:
            continue
        want[(line["name"], line["parameter"])] = (tocolumn(line), line)
    for name, row in byname.items():
        k = want.get((name, "krad_OH"))
        if k:
            want[(name, "DT50photo_air")] = (math.log(2.0) / k[0], "ln 2 / krad_OH")
        if not isorganic(row):
            continue
        sed = want.get((name, "DT50aerbio_sed_TEMPtest"))
        if sed:
            if (name, "DT50anaerbio_sed") not in want:
                want[(name, "DT50anaerbio_sed")] = (sed[0], "aerobic sediment value (one bulk value published)")
            want[(name, "DT50aerbio_seased_TEMPtest")] = (sed[0] / SALINITYCORR, "aerobic sediment / SALINITYcorr")
    return want


def terrtox(row, koc):
    """EFFECT_terrtox = EFFECT_aquatox / K_soilwater (equilibrium partitioning), koc in m3/kg."""
    henry = float(row["HENRY"]) if row["HENRY"] else float(row["VP_TEMPtest"]) / float(row["SOL"])
    kaw = henry / (RGAS * TEMPTEST)
    ksw = 0.2 * kaw + 0.2 + 0.6 * 0.02 * koc * RHOSOLID
    return float(row["EFFECT_aquatox"]) / ksw, ksw


def check(rows, lines):
    problems = []
    want = expected(rows, lines)
    names = {r["name"] for r in rows}
    for line in lines:
        if line["name"] not in names:
            problems.append("published.csv: %s is not a substance of the table" % line["name"])
    for row in rows:
        name = row["name"]
        for column in PUBLISHABLE + DERIVED:
            cell = row[column]
            w = want.get((name, column))
            if w is None:
                if cell and isorganic(row) and column in PUBLISHABLE + ["DT50aerbio_seased_TEMPtest"]:
                    problems.append("%s %s = %s has no published line" % (name, column, cell))
                continue
            if not cell:
                problems.append("%s %s is empty; published value gives %s" % (name, column, fmt(w[0])))
                continue
            if cell == "inf":
                problems.append("%s %s is infinite; published value gives %s" % (name, column, fmt(w[0])))
                continue
            entered = float(cell)
            if abs(entered - w[0]) > RELTOL * abs(w[0]):
                source = w[1] if isinstance(w[1], str) else "%s %s at %s C" % (
                    w[1]["value"], w[1]["unit"], w[1]["temp_C"] or "-")
                problems.append("%s %s = %s, but the published value (%s) converts to %s (ratio %.4g)" %
                                (name, column, cell, source, fmt(w[0]), entered / w[0]))
        if isorganic(row):
            for column in ORGANICNEEDS:
                if not row[column] or row[column] == "inf":
                    problems.append("%s %s: no finite value" % (name, column))
            if row["EFFECT_terrtox"] and row["EFFECT_aquatox"]:
                koc = float(row["Koc"]) if row["Koc"] else classkoc(row)
                value, _ = terrtox(row, koc)
                if abs(float(row["EFFECT_terrtox"]) - value) > RELTOL * value:
                    problems.append("%s EFFECT_terrtox = %s, equilibrium partitioning with Koc %s gives %s" %
                                    (name, row["EFFECT_terrtox"], fmt(koc), fmt(value)))
    return problems


def checkdocs(rows, lines, path=os.path.join(HERE, "SOURCES.md")):
    """Every conversion line of every substance stands in SOURCES.md as --markdown prints it."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    problems = []
    for row in rows:
        if "Source: " + row["source"] + "." not in text:
            problems.append("SOURCES.md: the Source line of %s differs from the table's source" % row["name"])
        for bullet in bullets(row, lines):
            if bullet not in text:
                problems.append("SOURCES.md lacks, for %s: %s" % (row["name"], bullet))
    return problems


GENERATED = ("- kOH ", "- Koc ", "- fish BCF ", "- water biodegradation DT50", "- sediment biodegradation DT50",
             "- soil biodegradation DT50", "- DT50anaerbio_sed = ", "- DT50aerbio_seased_TEMPtest = ",
             "- EFFECT_terrtox by equilibrium partitioning")


def syncdocs(rows, lines, path=os.path.join(HERE, "SOURCES.md")):
    """Rewrites the generated conversion lines of every substance entry of SOURCES.md."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    parts = re.split(r"(?m)^(### .*)$", text)
    out = [parts[0]]
    byname = {r["name"]: r for r in rows}
    for head, body in zip(parts[1::2], parts[2::2]):
        row = next((byname[n] for n in byname if head.startswith("### " + n + " (")), None)
        if row is None:
            out += [head, body]
            continue
        kept = [l for l in body.split("\n") if not l.startswith(GENERATED)]
        kept = ["Source: " + row["source"] + "." if l.startswith("Source: ") else l for l in kept]
        new = bullets(row, lines)
        last = max([i for i, l in enumerate(kept) if l.startswith("- ")], default=1)
        out += [head, "\n".join(kept[:last + 1] + new + kept[last + 1:])]
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join(out))


def sourcesof(name, lines):
    keys = []
    for line in lines:
        if line["name"] == name and line["source"] not in keys:
            keys.append(line["source"])
    return keys


def apply(rows, lines):
    want = expected(rows, lines)
    for row in rows:
        name = row["name"]
        for column in PUBLISHABLE + DERIVED:
            w = want.get((name, column))
            if w is not None:
                row[column] = fmt(w[0])
        if isorganic(row) and row["EFFECT_terrtox"] and row["EFFECT_aquatox"]:
            koc = float(row["Koc"]) if row["Koc"] else classkoc(row)
            value = terrtox(row, koc)[0]
            if abs(float(row["EFFECT_terrtox"]) - value) > RELTOL * value:
                row["EFFECT_terrtox"] = fmt(value)
        keys = sourcesof(name, lines)
        if keys:
            source = row["source"]
            for old in OLDPHRASES:
                source = source.replace(old, "")
            for mark in (MARK, MARKBCF):
                source = source.split(mark)[0]
            hasbcf = any(l["name"] == name and l["parameter"] == "BCF_fish" for l in lines)
            row["source"] = source + (MARKBCF if hasbcf else MARK) + ", ".join(keys) + " (published.csv)"


LABELS = {
    "DT50bio_freshwater_TEMPtest": "water biodegradation DT50",
    "DT50aerbio_sed_TEMPtest": "sediment biodegradation DT50 (aerobic)",
    "DT50anaerbio_sed": "sediment biodegradation DT50 (anaerobic)",
    "DT50bio_soil_TEMPtest": "soil biodegradation DT50",
}


def bullets(row, lines):
    """The lines of SOURCES.md that document a substance's published values and conversions."""
    name = row["name"]
    want = expected([row], lines)
    mine = {l["parameter"]: l for l in lines if l["name"] == name}
    out = []
    for parameter in ["krad_OH", "Koc", "BCF_fish"] + HALFLIVES:
        line = mine.get(parameter)
        if line is None:
            continue
        cite = "%s; %s" % (line["source"], line["remark"]) if line["remark"] else line["source"]
        if parameter == "krad_OH":
            out.append("- kOH %s cm3/(molecule s) at %s C (%s) -> krad_OH %s 1/s, DT50photo_air %s s" % (
                line["value"], line["temp_C"], cite, fmt(want[(name, "krad_OH")][0]),
                fmt(want[(name, "DT50photo_air")][0])))
        elif parameter == "Koc":
            out.append("- Koc %s %s (%s) -> %s m3/kg" % (line["value"], line["unit"], cite,
                                                          fmt(want[(name, "Koc")][0])))
        elif parameter == "BCF_fish":
            out.append("- fish BCF %s %s (%s) -> %s m3/kg" % (line["value"], line["unit"], cite,
                                                               fmt(want[(name, "BCF_fish")][0])))
        else:
            factor = math.exp(TEMPCOEFF * (float(line["temp_C"]) - 25.0))
            conversion = "" if factor == 1.0 else " x exp(0.08 (%s - 25)) = x %.4g" % (line["temp_C"], factor)
            out.append("- %s %s %s at %s C (%s; %s) -> %s s%s" % (
                LABELS[parameter], line["value"], line["unit"], line["temp_C"],
                "temperature stated" if line["temp_basis"] == "stated" else
                "temperature not stated, taken as %s C" % line["temp_C"],
                cite, fmt(want[(name, parameter)][0]), conversion))
    if isorganic(row) and (name, "DT50aerbio_sed_TEMPtest") in want:
        if "DT50anaerbio_sed" not in mine:
            out.append("- DT50anaerbio_sed = the published sediment value (one bulk value): %s s" %
                       fmt(want[(name, "DT50anaerbio_sed")][0]))
        out.append("- DT50aerbio_seased_TEMPtest = sediment value / 0.3 (the program's salt-water factor): %s s" %
                   fmt(want[(name, "DT50aerbio_seased_TEMPtest")][0]))
    if isorganic(row) and row["EFFECT_terrtox"] and row["EFFECT_aquatox"]:
        measured = bool(row["Koc"])
        koc = float(row["Koc"]) if measured else classkoc(row)
        value, ksw = terrtox(row, koc)
        out.append("- EFFECT_terrtox by equilibrium partitioning: Koc %s m3/kg (%s), K_soilwater %s, "
                   "1/(K_soilwater*PNEC) = %s m3/kg (estimate)" %
                   (fmt(koc), "measured" if measured else "class estimate", fmt(ksw), fmt(value)))
    return out


def readtable(path=TABLE):
    with open(path, newline="", encoding="utf-8") as f:
        reader = csv.DictReader(f)
        return reader.fieldnames, list(reader)


def writetable(fieldnames, rows, path=TABLE):
    with open(path, "w", newline="", encoding="utf-8") as f:
        w = csv.DictWriter(f, fieldnames=fieldnames, lineterminator="\n")
        w.writeheader()
        w.writerows(rows)


def report(rows, lines):
    want = expected(rows, lines)
    print("%-28s %12s %12s %8s" % ("substance", "measured", "class", "ratio"))
    for row in rows:
        if not isorganic(row):
            continue
        w = want.get((row["name"], "Koc"))
        est = classkoc(row) * 1000
        if w:
            print("%-28s %12.4g %12.4g %8.3g%s" % (row["name"], w[0] * 1000, est, est / (w[0] * 1000),
                                                 "  off by more than 3" if not 1 / 3 <= est / (w[0] * 1000) <= 3 else ""))
        else:
            print("%-28s %12s %12.4g" % (row["name"], "-", est))


def selftest():
    """Plants one error of each kind in copies of the tables; the check must name each."""
    fieldnames, rows = readtable()
    lines, problems = readpublished()
    if problems or check(rows, lines):
        print("selftest: the committed tables do not pass the check", file=sys.stderr)
        return 1
    failures = []

    def expect(label, rows2, lines2, fragment):
        found = check(rows2, lines2)
        lineproblems = validate(lines2)
        if not any(fragment in p for p in found + lineproblems):
            failures.append("%s: no problem mentioning %r (got %s)" % (label, fragment, found + lineproblems))

    def copyrows():
        return [dict(r) for r in rows]

    def copylines():
        return [dict(l) for l in lines]

    def row(rs, name):
        return next(r for r in rs if r["name"] == name)

    # A Koc entered in L/kg instead of m3/kg.
    r = copyrows()
    row(r, "Benzene")["Koc"] = "59"
    expect("Koc in L/kg", r, lines, "Benzene Koc = 59")
    # A half-life entered in days instead of seconds.
    r = copyrows()
    row(r, "Hexachlorobenzene")["DT50bio_soil_TEMPtest"] = "2090"
    expect("half-life in days", r, lines, "Hexachlorobenzene DT50bio_soil_TEMPtest")
    # A transposed digit.
    r = copyrows()
    cell = row(r, "Atrazine")["DT50aerbio_sed_TEMPtest"]
    row(r, "Atrazine")["DT50aerbio_sed_TEMPtest"] = cell[1] + cell[0] + cell[2:] if cell[0] != cell[1] else "9" + cell[1:]
    expect("transposed digits", r, lines, "Atrazine DT50aerbio_sed_TEMPtest")
    # The temperature conversion forgotten (20 C value entered as it stands).
    r = copyrows()
    row(r, "Isoproturon")["DT50bio_freshwater_TEMPtest"] = fmt(40 * 86400)
    expect("no temperature conversion", r, lines, "Isoproturon DT50bio_freshwater_TEMPtest")
    # An infinite half-life left in place.
    r = copyrows()
    row(r, "PCB-153")["DT50bio_freshwater_TEMPtest"] = "inf"
    expect("infinite half-life", r, lines, "PCB-153 DT50bio_freshwater_TEMPtest is infinite")
    # A value without a published line.
    l = [x for x in copylines() if not (x["name"] == "Toluene" and x["parameter"] == "Koc")]
    expect("no published line", rows, l, "Toluene Koc = ")
    # A published kOH typed in the wrong unit (per second at the reference OH instead of cm3/s).
    l = copylines()
    next(x for x in l if x["name"] == "Benzene" and x["parameter"] == "krad_OH")["value"] = "1.281e-6"
    expect("kOH unit", rows, l, "outside")
    # krad_OH changed without DT50photo_air.
    r = copyrows()
    row(r, "Toluene")["DT50photo_air"] = "1.2e5"
    expect("DT50photo_air stale", r, lines, "Toluene DT50photo_air")
    # An EFFECT_terrtox left from the class estimate of Koc.
    r = copyrows()
    row(r, "Pentachlorophenol")["EFFECT_terrtox"] = "8360"
    expect("EFFECT_terrtox stale", r, lines, "Pentachlorophenol EFFECT_terrtox")
    # A fish BCF entered in L/kg instead of m3/kg.
    r = copyrows()
    row(r, "Di(2-ethylhexyl) phthalate")["BCF_fish"] = "840"
    expect("BCF in L/kg", r, lines, "Di(2-ethylhexyl) phthalate BCF_fish = 840")
    # A field half-life taken at the laboratory temperature.
    l = copylines()
    x = next(x for x in l if x["name"] == "Atrazine" and x["parameter"] == "DT50bio_soil_TEMPtest")
    x["temp_C"] = "25"
    expect("field half-life at 25 C", rows, l, "field half-life")
    # An organic without a soil half-life.
    r = copyrows()
    row(r, "Methanol")["DT50bio_soil_TEMPtest"] = ""
    expect("missing soil half-life", r, lines, "Methanol DT50bio_soil_TEMPtest")
    if failures:
        print("selftest failed:\n" + "\n".join(failures), file=sys.stderr)
        return 1
    print("selftest: all planted errors found")
    return 0


def main(argv):
    args = argv[1:]
    if "--selftest" in args:
        return selftest()
    fieldnames, rows = readtable()
    lines, problems = readpublished()
    if problems:
        print("published: " + "\n".join(problems), file=sys.stderr)
        return 1
    if "--markdown" in args:
        for row in rows:
            print("### " + row["name"])
            print("\n".join(bullets(row, lines)))
        return 0
    if "--report" in args:
        report(rows, lines)
        return 0
    if "--apply" in args:
        apply(rows, lines)
        writetable(fieldnames, rows)
        syncdocs(rows, lines)
        print("published: wrote %d values into %s" % (len(expected(rows, lines)), os.path.normpath(TABLE)))
    problems = check(rows, lines) + checkdocs(rows, lines)
    if problems:
        print("published: %d problem(s)\n" % len(problems) + "\n".join(problems), file=sys.stderr)
        return 1
    print("published: %d published values and their conversions agree with substances.csv" % len(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
