"""The module against the command-line tool on the default world: the same
menu actions give the same stored numbers, bit for bit."""
import os
import warnings

import numpy as np
import pytest

import velmora
from conftest import cli, number, tsv


def test_every_result_equals_dump_results(world):
    world.substance = "Atrazine"
    world.emission = ("Netherlands", "river water")
    world.calculate()
    dumped = {}
    for line in cli("dump", "results", "--substance", "Atrazine").splitlines():
        name, where, value, status = line.split("\t")
        dumped.setdefault(name, []).append((value, status))
    assert len(dumped) == len(world.names("results"))
    world.emission = (world.regions["name"][149], "air")  # the start-up box, as the tool
    world.calculate()
    for name, rows in dumped.items():
        v = world.values(name)
        assert v["values"].size == len(rows), name
        expected = np.array([number(value) for value, _ in rows], dtype=np.float32)
        assert np.array_equal(v["values"].ravel(), expected), name
        assert "".join(v["statuses"].ravel()) == "".join(s for _, s in rows), name


def test_regcomps_and_factor_matrices_equal_calculate(world, tmp_path):
    out = str(tmp_path / "run")
    cli("calculate", "--substance", "Cadmium", "--emission", "Germany:air", "--with-restime",
        "--out", out)
    world.substance = "Cadmium"
    world.emission = ("Germany", "air")
    world.set(WithRestime=True)
    world.calculate()
    table = tsv(os.path.join(out, "regcomps.tsv"))
    frame = world.regcomps
    for column in ("AREA", "V", "kdeg", "EMIS", "CONC", "MASS", "RESTIME", "EMISprime"):
        k = table[0].index(column)
        expected = [number(row[k]) if row[k] else np.float32(0) for row in table[1:]]
        assert np.array_equal(frame[column].to_numpy(), np.array(expected, np.float32)), column
    assert world.msr == pytest.approx(float(cli_value(out, "MSR")), rel=1e-6)

    factors = str(tmp_path / "factors")
    cli("calculate", "--factors", "--substance", "Cadmium", "--out", factors)
    world.calculate("factors")
    for name, file in (("XF1", "XF1"), ("XF2", "XF2"), ("EFeco", "EFeco"), ("EFhum", "EFhum"),
                       ("XF*FF", "XF_FF")):
        m = world.matrix(name)["values"]
        cells = np.zeros_like(m)
        for row, column, value in tsv(os.path.join(factors, file + ".tsv"))[1:]:
            cells[int(row) - 1, int(column) - 1] = np.float32(value)
        assert np.array_equal(m, cells), name
    world.set(WithRestime=False)
    world.calculate()


def cli_value(folder, key):
    for fields in tsv(os.path.join(folder, "run.tsv")):
        if fields[0] == key:
            return fields[1]
    raise KeyError(key)


def test_balance_explain_and_all_factors_equal_the_tool(world, tmp_path):
    world.substance = "Toluene"
    world.emission = ("France", "air")
    world.calculate()
    balance = cli("balance", "--substance", "Toluene", "--emission", "France:air", "--regcomp",
                  "France:agricultural soil").splitlines()
    frame = world.balance("France", "agricultural soil")
    assert balance[0].split("\t") == list(frame.columns[:-1])
    assert [line.split("\t") for line in balance[1:]] == frame.iloc[:, :-1].values.tolist()
    explained = cli("explain", "--substance", "Toluene", "--emission", "France:air", "--region",
                    "World", "--dose")
    buttons = world.explain("World", dose=True)
    lines = ["breakdown\t%s\t%s" % (b.item, text) for b in buttons.itertuples()
             for text in b.breakdown]
    assert [l for l in explained.splitlines() if l.startswith("breakdown")] == lines

    out = str(tmp_path / "cf")
    cli("factors", "--substance", "Toluene", "--compartments", "air,river", "--out", out)
    expected = tsv(os.path.join(out, "Toluene.tsv"))[2:]
    table = world.all_factors(compartments=["air", "river"])
    texts = velmora.shortest(table[list(velmora.FACTOR_COLUMNS)].to_numpy())
    rows = [[s, r, c] + [t if t != "nan" else "" for t in texts[14 * k:14 * k + 14]]
            for k, (s, r, c) in enumerate(zip(table.substance, table.region, table.compartment))]
    assert rows == expected


def test_edits_go_through_the_program_and_refusals_raise(world):
    world.substance = "Atrazine"
    world.edit("Kow", 1234.5)
    v = world.values("Kow")
    assert (v["values"][()], v["statuses"][()]) == (np.float32(1234.5), "E")
    world.edit("Kow", None)
    assert world.status("Kow")[()] == "U"
    world.edit("Npop", 2e7, region="Netherlands")
    netherlands = world.regions["name"].tolist().index("Netherlands")
    assert world.result("Npop")[netherlands] == np.float32(2e7)
    assert world.status("Npop")[netherlands] == "E"
    with pytest.raises(velmora.VelmoraError, match="non-editable"):
        world.edit("land", False, region="Netherlands")
    with pytest.raises(velmora.VelmoraError, match="no parameter .* \"Kowx\""):
        world.edit("Kowx", 1)
    with pytest.raises(velmora.VelmoraError, match="unknown substance \"Nothing\" in "):
        world.substance = "Nothing"
    world.substance = "Atrazine"  # the edits are gone with a new import


def test_a_workbook_that_cannot_be_read_raises_with_its_name(tmp_path):
    broken = tmp_path / "broken.xlsx"
    broken.write_bytes(b"not a workbook")
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        with pytest.raises(velmora.VelmoraError, match="broken.xlsx"):
            velmora.open(parameters=str(broken))


def test_a_dynamic_run_equals_the_tool_and_its_state_nears_the_steady_state(world, tmp_path):
    out = str(tmp_path / "dynamic")
    cli("dynamic", "--substance", "Atrazine", "--emission", "Netherlands:agricultural soil",
        "--stop", "20y", "--until", "40y", "--times", "lin:4", "--out", out)
    world.substance = "Atrazine"
    world.emission = ("Netherlands", "agricultural soil")
    world.calculate()
    run = world.dynamic([("Netherlands", "agricultural soil", 0, "20y", 1.0)], until="40y",
                        times="lin:4")
    masses = tsv(os.path.join(out, "masses.tsv"))
    assert [float(t) for t in masses[0][3:]] == list(run.time)
    boxes = [int(row[0]) - 1 for row in masses[1:]]  # the boxes that exist
    assert np.array_equal(np.array([[float(x) for x in row[3:]] for row in masses[1:]]).T,
                          run.mass[:, boxes])
    derived = {(r[0], r[1]): r for r in tsv(os.path.join(out, "derived.tsv"))[1:]}
    world_row = run.derived.iloc[0]
    assert float(derived[("world", "World")][4]) == world_row["t50"]
    # Twenty years of emission are four times the world's 95 % time: near
    # the emission the state then is the steady state the calculation gives;
    # far away it is still coming.
    state = world.state_results(run.mass[1], ["C_air", "DOSE_total"])
    netherlands = world.regions["name"].tolist().index("Netherlands")
    for name in ("C_air", "DOSE_total"):
        steady = world.result(name)
        assert state[name][netherlands] == pytest.approx(steady[netherlands], rel=1e-4)
        assert np.allclose(state[name], steady, rtol=1e-2, atol=0)
