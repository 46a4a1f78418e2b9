#!/usr/bin/python3
"""Writes the sheet grid of the substances workbook from substances.csv.

    /usr/bin/python3 data/substances/make_sheet.py          # write the grid
    /usr/bin/python3 data/substances/make_sheet.py --check  # only verify it is current

The grid is data/workbooks/substances/VELMORA.csv: CSV row i is sheet row i,
field j is sheet column j. The program reads parameter names from row 2
(column 3 on), one substance per row from row 4, and finds a substance by the
name in column 5; rows 1 and 3 and columns 1 and 2 are for people only.

Every value is checked before anything is written, so a typing error in the
table stops here rather than in the program's import.
"""

import csv
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, "substances.csv")
GRID = os.path.join(HERE, "..", "workbooks", "substances", "VELMORA.csv")

TITLE = ("Substances: one row per substance; row 2 parameter names, row 3 units; "
         "values and citations documented in data/substances/SOURCES.md")

# Parameters the import reads from the sheet, in catalogue order, with the
# unit the values are entered in. The EFFECT units are those the calculation
# implies (it multiplies them by a concentration or a dose to get a risk ratio).
PARAMETERS = [
    ("CAS", "-"),
    ("substype", "-"),
    ("MOLW", "kg*mol^-1"),
    ("CHARGE", "-"),
    ("FREEION5seawater", "-"),
    ("FREEION25seawater", "-"),
    ("H_0vapor", "J*mol^-1"),
    ("TEMPmelt", "K"),
    ("VP_TEMPtest", "Pa"),
    ("SOL", "mol*m^-3"),
    ("Kow", "-"),
    ("HENRY", "Pa*m^3*mol^-1"),
    ("K_airwater", "-"),
    ("Koc", "m^3*kg^-1"),
    ("Kp_soil", "m^3*kg^-1"),
    ("Kp_sed", "m^3*kg^-1"),
    ("Kp_susp", "m^3*kg^-1"),
    ("Fass_aer", "-"),
    ("BIO_inh", "-"),
    ("BIO_oral", "-"),
    ("BCF_fish", "m^3*kg^-1"),
    ("BCFsoil_leafcrops", "kg wet soil*kg^-1 fresh crop"),
    ("BCFair_leafcrops", "m^3*kg^-1"),
    ("BCF_rootcrops", "kg wet soil*kg^-1 fresh crop"),
    ("BCF_meat", "d*kg^-1"),
    ("BCF_milk", "d*kg^-1"),
    ("DT50photo_air", "s"),
    ("DT50bio_freshwater_TEMPtest", "s"),
    ("DT50bio_seawater_TEMPtest", "s"),
    ("DT50abio_sed", "s"),
    ("DT50aerbio_sed_TEMPtest", "s"),
    ("DT50anaerbio_sed", "s"),
    ("DT50abio_saltlakesed", "s"),
    ("DT50aerbio_saltlakesed", "s"),
    ("DT50anaerbio_saltlakesed", "s"),
    ("DT50abio_seased", "s"),
    ("DT50aerbio_seased_TEMPtest", "s"),
    ("DT50anaerbio_seased", "s"),
    ("DT50abio_soil", "s"),
    ("DT50bio_soil_TEMPtest", "s"),
    ("DT50hydro_water_TEMPtest", "s"),
    ("DT50photo_water", "s"),
    ("readily_biodegradable", "TRUE/FALSE"),
    ("fulfilling_10d_window", "TRUE/FALSE"),
    ("inherently_biodegradable", "TRUE/FALSE"),
    ("krad_OH", "s^-1"),
    ("kdeg_air", "s^-1"),
    ("EFFECT_aquatox", "m^3*kg^-1 (1/PNEC)"),
    ("EFFECT_seatox", "m^3*kg^-1 (1/PNEC)"),
    ("EFFECT_terrtox", "m^3 soil*kg^-1 (1/PNEC)"),
    ("EFFECThum_noncarc", "kg BW*d*kg^-1 (1/RfD)"),
    ("EFFECThum_carc", "kg BW*d*kg^-1 (slope factor)"),
]
UNITS = dict(PARAMETERS)

TEXTS = {"CAS", "substype"}
BOOLEANS = {"readily_biodegradable", "fulfilling_10d_window", "inherently_biodegradable"}
INTEGERS = {"CHARGE"}
FRACTIONS = {"FREEION5seawater", "FREEION25seawater", "Fass_aer", "BIO_inh", "BIO_oral"}

ORGANIC_CLASSES = [
    "nonhydrophobic", "acetanilide", "alcohol", "amide", "aniline", "carbamate", "dinitroaniline",
    "ester", "nitrobenzene", "organic acid", "phenol", "benzonitrile", "phenylurea", "phosphate",
    "triazine", "triazole", "uracil",
]
TYPES = ["metal", "gas", "organic (unclassified)"] + ORGANIC_CLASSES

# What the program needs known before it will calculate (hidden counts as known).
COMPLETE = {
    "metal": ["MOLW", "FREEION5seawater", "FREEION25seawater", "BCF_fish", "BCFsoil_leafcrops",
              "BCF_rootcrops", "BCF_meat"],
    "organic": ["MOLW", "TEMPmelt", "VP_TEMPtest", "Kow"],
    "gas": ["MOLW"],
}

# Columns of the table that are not parameters.
NAME, NOTE, SOURCE, NOTES = "name", "note", "source", "notes"


class Tableerror(Exception):
    pass


def isreal(text):
    """A plain decimal number (what the sheet will hold as a number cell) or "inf"."""
    if text == "inf":
        return True
    if not text or any(c not in "0123456789.eE+-" for c in text):
        return False
    try:
        return math.isfinite(float(text))
    except ValueError:
        return False


def checkrow(lineno, row):
    where = "substances.csv line %d (%s)" % (lineno, row.get(NAME, ""))
    problems = []
    if not row[NAME].strip():
        problems.append("empty name")
    if not row[SOURCE].strip():
        problems.append("no source")
    kind = row["substype"]
    if kind not in TYPES:
        problems.append("unknown substype %r" % kind)
    for name, _ in PARAMETERS:
        value = row[name]
        if value == "" or name in TEXTS:
            continue
        if name in BOOLEANS:
            if value not in ("TRUE", "FALSE"):
                problems.append("%s must be TRUE or FALSE, not %r" % (name, value))
        elif name in INTEGERS:
            if not value.lstrip("-").isdigit():
                problems.append("%s must be an integer, not %r" % (name, value))
        elif not isreal(value):
            problems.append("%s is not a number: %r" % (name, value))
        elif value != "inf":
            x = float(value)
            if name in FRACTIONS and not 0 <= x <= 1:
                problems.append("%s must lie in [0, 1]: %s" % (name, value))
            if x < 0:
                problems.append("%s is negative: %s" % (name, value))
            if name == "MOLW" and x <= 0:
                problems.append("MOLW must be positive")
    family = kind if kind in ("metal", "gas") else "organic"
    for name in COMPLETE[family]:
        if row[name] == "":
            problems.append("%s missing: a %s substance needs it" % (name, family))
    if family == "organic" and row["HENRY"] == "" and row["SOL"] == "":
        problems.append("HENRY missing and SOL missing: the program cannot derive HENRY")
    if problems:
        raise Tableerror(where + ": " + "; ".join(problems))


def readtable(path):
    with open(path, newline="", encoding="utf-8") as f:
        reader = csv.DictReader(f)
        header = reader.fieldnames or []
        expected = [NAME] + [p for p, _ in PARAMETERS] + [NOTE, SOURCE, NOTES]
        missing = [h for h in expected if h not in header]
        unknown = [h for h in header if h not in expected]
        if missing or unknown:
            raise Tableerror("substances.csv header: missing %s, unknown %s" % (missing, unknown))
        rows = []
        seen = set()
        for lineno, row in enumerate(reader, start=2):
            row = {k: (v or "").strip() for k, v in row.items()}
            checkrow(lineno, row)
            if row[NAME] in seen:
                raise Tableerror("substances.csv line %d: duplicate name %r" % (lineno, row[NAME]))
            seen.add(row[NAME])
            rows.append(row)
        return rows


def grid(rows):
    params = [p for p, _ in PARAMETERS]
    # Column 5 must hold the name: CAS and substype stand in 3 and 4 before it.
    order = params[:2] + [NAME] + params[2:] + [SOURCE, NOTES]
    out = [[TITLE]]
    out.append(["no.", NOTE] + order)
    out.append(["", ""] + [UNITS.get(h, "") for h in order])
    for i, row in enumerate(rows, start=1):
        out.append([str(i), row[NOTE]] + [row[h] for h in order])
    return out


def render(cells):
    from io import StringIO
    buffer = StringIO()
    writer = csv.writer(buffer, lineterminator="\n")
    for line in cells:
        writer.writerow(line)
    return buffer.getvalue()


def main(argv):
    check = "--check" in argv[1:]
    try:
        text = render(grid(readtable(TABLE)))
    except Tableerror as e:
        print("make_sheet: " + str(e), file=sys.stderr)
        return 1
    if check:
        try:
            with open(GRID, encoding="utf-8", newline="") as f:
                current = f.read()
        except OSError:
            current = None
        if current != text:
            print("make_sheet: %s is not up to date; run make_sheet.py" % GRID, file=sys.stderr)
            return 1
        return 0
    os.makedirs(os.path.dirname(GRID), exist_ok=True)
    with open(GRID, "w", encoding="utf-8", newline="") as f:
        f.write(text)
    print("wrote %d substances to %s" % (len(text.splitlines()) - 3, os.path.normpath(GRID)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
