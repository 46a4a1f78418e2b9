#!/usr/bin/python3
"""Velmora in a notebook: one substance's fate, its characterisation
factors for every emission box, a run in time, and the factors of a few
substances on a Dask cluster. Copy the cells you need; in a script, keep
the Dask part under `if __name__ == "__main__"`, since the workers of a
local cluster import the script that starts them.

    PYTHONPATH=build/python /usr/bin/python3 examples/factors_in_python.py
"""
import tempfile

import pandas

import velmora
from velmora import batch

def fate():
    # The default world, started as the program starts (Nitrobenzene at the
    # start-up box, taken as the reference of the characterisation factors).
    world = velmora.open()
    print(len(world.substances), "substances,", len(world.regions), "regions")

    # Where atrazine goes after an emission into Dutch agricultural soil.
    world.substance = "Atrazine"
    world.emission = ("Netherlands", "agricultural soil")
    world.set(WithRestime=True)
    world.calculate()
    concentrations = world.table(["C_air", "C_agr", "C_river", "C_seawater"])
    print(concentrations.loc[["Netherlands", "Germany", "Belgium"]])
    print("units:", concentrations.attrs["units"])
    boxes = world.regcomps
    dutch = boxes[(boxes.region == "Netherlands") & boxes.exists]
    print(dutch[["compartment", "CONC", "MASS", "RESTIME"]])
    print(world.balance("Netherlands", "agricultural soil").head(8))

    # Human intake by route, the Dose buttons for the whole world.
    for button in world.explain("World", dose=True).itertuples():
        print(button.item, " ".join(button.caption))

    # Characterisation factors of every emission box the All factors dialog
    # chooses, relative to the reference; a DataFrame ready for a life-cycle tool.
    factors = world.all_factors()
    print(factors.sort_values("CFtoxpot_humnoncarc", ascending=False).head())

    # A what-if: a ten times more persistent atrazine (edits go through the
    # program's edit rules and are undone by opening the substance again). The
    # all-factors run left the emission in its last box: put it back.
    world.emission = ("Netherlands", "agricultural soil")
    half_life = world.result("DT50bio_soil_TEMPtest", owner="substance")
    world.edit("DT50bio_soil_TEMPtest", 10 * float(half_life))
    world.calculate()
    print("soil concentration in the Netherlands, ten times persistent:",
          world.frame("C_agr").loc["Netherlands", "value"])
    world.substance = "Atrazine"

    # Twenty years of emission, then eighty without: masses in time.
    world.calculate()
    run = world.dynamic([("Netherlands", "agricultural soil", 0, "20y", 1.0)], until="100y",
                        times="lin:10")
    print(run.compartment_mass[["agricultural soil", "river water", "sea water"]])
    print(run.derived[run.derived.group == "compartment"][["series", "t50", "t95", "half_time"]])


def batch_on_dask():
    # The factors of three substances on a local Dask cluster of two workers;
    # give "--scheduler", "tcp://HOST:8786" for a cluster started elsewhere.
    with tempfile.TemporaryDirectory() as out:
        code = batch.run(["--out", out, "--workers", "2", "--compartments", "air,river",
                          "--substance", "Atrazine", "--substance", "Cadmium",
                          "--substance", "Benzene"])
        table = pandas.read_csv(out + "/factors.tsv", sep="\t")
        print("exit code", code, ";", len(table), "rows")
        print(table.groupby("substance")[["CFtoxpot_humnoncarc", "CFtoxpot_river"]].median())


if __name__ == "__main__":
    fate()
    batch_on_dask()
