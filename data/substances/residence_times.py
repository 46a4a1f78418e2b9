#!/usr/bin/python3
"""Overall residence time of every substance of the default workbook after an
emission into air, with the start-up figures and impact scores.

    /usr/bin/python3 data/substances/residence_times.py BINDIR [--emission REGION:COMPARTMENT]
                                                         [--substances FILE] [--only NAME ...]
                                                         [--tsv OUT] [--markdown OUT]

BINDIR holds velmora-cli and the default workbooks (a build's bin directory).
For every substance it runs one calculation (1 kg/s into the emission
regcomp, default Germany:air) and prints the total mass summed over all
regcomps divided by the emission rate, in years, with the impact scores that
the characterisation factors are made of (IPICRtox_ and IAICRtox_) and iFtot.
Standard library only.
"""

import argparse
import csv
import os
import subprocess
import sys
import tempfile

YEAR = 365.25 * 86400.0
CATEGORIES = ("river", "lake", "saltlake", "seawater", "soil", "humnoncarc", "humcarc")
SCORES = (["iFtot"] + ["IAICRtox_" + c for c in CATEGORIES] +
          ["CFtoxact_" + c for c in CATEGORIES])


def substances(cli, book):
    out = subprocess.run([cli, "list", "substances", "--substances", book], check=True,
                         capture_output=True, text=True).stdout
    return [line.strip() for line in out.splitlines() if line.strip()]


def run(cli, book, name, emission, directory):
    args = [cli, "calculate", "--substances", book, "--out", directory, "--with-restime"]
    if name:
        args += ["--substance", name]
    if emission:
        args += ["--emission", emission]
    subprocess.run(args, check=True, capture_output=True, text=True, cwd=os.path.dirname(cli))
    mass = 0.0
    emis = 0.0
    masses = {}
    nodegradation = set()
    with open(os.path.join(directory, "regcomps.tsv"), newline="") as f:
        for row in csv.DictReader(f, delimiter="\t"):
            if row["exists"] != "TRUE" or row["MASS"] in ("", None):
                continue
            if row["compartment"] not in ("air", "groundwater") and row["kdeg"] and float(row["kdeg"]) == 0:
                nodegradation.add(row["compartment"])
            m = float(row["MASS"])
            mass += m
            masses[row["compartment"]] = masses.get(row["compartment"], 0.0) + m
            if row["EMIS"]:
                emis += float(row["EMIS"])
    scores = {}
    with open(os.path.join(directory, "results.tsv"), newline="") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) >= 4 and parts[0] in SCORES and parts[1] == "":
                scores[parts[0]] = parts[2] if parts[3] not in ("U", "H") else ""
    return mass, emis, masses, scores, nodegradation


def main(argv):
    p = argparse.ArgumentParser()
    p.add_argument("bindir")
    p.add_argument("--emission", default="Germany:air")
    p.add_argument("--substances")
    p.add_argument("--only", nargs="*")
    p.add_argument("--tsv")
    p.add_argument("--markdown", help="also write the table as Markdown rows to this file")
    a = p.parse_args(argv[1:])
    cli = os.path.abspath(os.path.join(a.bindir, "velmora-cli"))
    book = os.path.abspath(a.substances or os.path.join(a.bindir, "substances.xlsx"))
    names = a.only or substances(cli, book)
    rows = []
    with tempfile.TemporaryDirectory() as tmp:
        for i, name in enumerate(names):
            d = os.path.join(tmp, str(i))
            try:
                mass, emis, masses, scores, nodegradation = run(cli, book, name, a.emission, d)
            except subprocess.CalledProcessError as e:
                print("%s: failed: %s" % (name, e.stderr.strip()[-200:]), file=sys.stderr)
                continue
            restime = mass / emis if emis > 0 else float("nan")
            top = sorted(masses.items(), key=lambda kv: -kv[1])[:3]
            share = ", ".join("%s %.0f%%" % (k, 100 * v / mass) for k, v in top) if mass > 0 else ""
            airtime = masses.get("air", 0.0) / emis if emis > 0 else float("nan")
            rows.append([name, "%.4g" % restime, "%.4g" % (restime / YEAR), "%.4g" % (airtime / YEAR),
                         share, " ".join(sorted(nodegradation))] + [scores.get(s, "") for s in SCORES])
            print("\t".join(rows[-1]), flush=True)
    if a.markdown:
        with open(a.markdown, "w", encoding="utf-8") as f:
            f.write("| substance | overall residence time (years) | in air only (years) | where the mass is |\n")
            f.write("|---|---|---|---|\n")
            for r in rows:
                f.write("| %s | %s | %s | %s |\n" % (r[0], r[2], r[3], r[4]))
    if a.tsv:
        with open(a.tsv, "w", newline="") as f:
            w = csv.writer(f, delimiter="\t", lineterminator="\n")
            w.writerow(["name", "restime_s", "restime_yr", "airtime_yr", "mass_shares",
                        "no_degradation_in"] + SCORES)
            w.writerows(rows)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
