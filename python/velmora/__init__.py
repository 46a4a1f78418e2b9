"""Velmora from Python: the model core behind the desktop program and
velmora-cli, with results as numpy arrays and pandas tables.

    import velmora
    world = velmora.open()                  # the default workbooks, started as the program
    world.substance = "Atrazine"
    world.emission = ("Netherlands", "air")
    world.calculate()
    world.result("C_air")                   # numpy array, one value per region
    world.frame("C_air")                    # the same as a DataFrame with status and unit

Every number is the 32-bit float the program stores. Errors of the program
raise VelmoraError with its message; its warnings are Python warnings of
the class VelmoraWarning.
"""
import os

import numpy as np

from . import _core
from ._core import VelmoraError, VelmoraWarning

__all__ = ["open", "World", "VelmoraError", "VelmoraWarning", "substance_names", "shortest"]

# The categories of the characterisation factors, in the program's order.
CATEGORIES = ("river", "lake", "saltlake", "seawater", "soil", "humnoncarc", "humcarc")
FACTOR_COLUMNS = tuple("CFtoxpot_" + c for c in CATEGORIES) + tuple(
    "CFtoxact_" + c for c in CATEGORIES)
STATUS_WORDS = {"F": "Fixed", "D": "Default", "I": "Imported", "E": "Edited", "H": "Hidden",
                "U": "Unknown"}


def _pandas():
    import pandas
    return pandas


def default_directory():
    """Where the default workbooks are: $VELMORA_WORKBOOKS, else beside the
    programs of the build this module belongs to."""
    return os.environ.get("VELMORA_WORKBOOKS") or _core.default_directory


def shortest(values):
    """The texts the program writes for 32-bit floats (shortest round trip)."""
    return _core.shortest(np.asarray(values, dtype=np.float32))


def substance_names(path=None):
    """The substance names of a substances workbook, in order."""
    return _core.substance_names(path or os.path.join(default_directory(), "substances.xlsx"))


def open(parameters=None, borders=None, substances=None, level=0, group="", directory=None):
    """A world started as the program starts: the environment workbooks read,
    the start-up substance calculated at the start-up box and taken as the
    reference. Files not given are the default workbooks of `directory`."""
    return World(_core.Session(directory or default_directory(), parameters or "", borders or "",
                               substances or "", level, group))


class World:
    """One model world: a workspace, the menu actions a script makes on it
    and every value read back by name."""

    def __init__(self, session):
        self._s = session

    # ---- the world -------------------------------------------------------

    @property
    def substances(self):
        """The substance names of the substances workbook."""
        return self._s.substance_names()

    @property
    def regions(self):
        """Regions in order (countries first): name, abbreviation, land,
        latitude, longitude."""
        return _pandas().DataFrame(self._s.regions())

    @property
    def compartments(self):
        """Compartments in order: name and abbreviation."""
        return _pandas().DataFrame(self._s.compartments(), columns=["name", "abbreviation"])

    @property
    def regcomp_names(self):
        """The names of the region-compartment boxes, numbered from 1."""
        return self._s.axis("regcomps")

    @property
    def factor_regions(self):
        """The regions the All factors dialog starts with: every sea and every
        land region with people."""
        return self._s.factor_regions()

    @property
    def aggregation_level(self):
        return int(self._s.setting("AggregationLevel"))

    # ---- the menu actions -----------------------------------------------------

    @property
    def substance(self):
        return self._s.substance()

    @substance.setter
    def substance(self, name):
        self._s.open_substance(name)

    @property
    def emission(self):
        """(region, compartment, amount in kg/s), or None."""
        return self._s.emission()

    @emission.setter
    def emission(self, box):
        region, compartment = box
        self._s.set_emission(region, compartment)

    @property
    def reference(self):
        """The reference the characterisation factors divide by: substance,
        box and the fourteen integrated impact scores; {} without one."""
        return self._s.reference()

    def set_reference(self, substance, region=None, compartment="air"):
        """Calculates the substance at the box (default: the start-up region's
        air) and takes it as the reference; the substance and emission set
        before stay."""
        if region is None:
            region = self.regions["name"][self._startup_region() - 1]
        self._s.set_reference(substance, region, compartment)

    def take_reference(self):
        """The present calculation becomes the reference."""
        self._s.take_reference()

    def clear_reference(self):
        self._s.clear_reference()

    def _startup_region(self):
        count = len(self.regions)
        land = int(self.regions["land"].sum())
        return 150 if count >= 150 else (land if land > 0 else 1)

    @property
    def settings(self):
        names = ("EmissionAmount", "InfValue", "WithRestime", "FactorsMode", "Digits",
                 "NBordersDisplay", "DistancesDisplay", "AggregationLevel")
        return {n: self._s.setting(n) for n in names}

    def set(self, **settings):
        """Changes settings: EmissionAmount, InfValue, WithRestime,
        FactorsMode, Digits, NBordersDisplay, DistancesDisplay."""
        for name, value in settings.items():
            self._s.set_setting(name, float(value))

    def calculate(self, mode="concentration", inversion=False):
        """Calculates the results ("concentration") or the factor matrices
        ("factors"). Raises VelmoraError when the system matrix is singular."""
        if mode not in ("concentration", "factors"):
            raise ValueError("mode must be 'concentration' or 'factors'")
        self._s.calculate(mode == "factors", inversion)

    def edit(self, name, value, region=None):
        """Sets a parameter of the environment, the substance or the emission
        as the edit dialog does: a number, text or bool; None for Unknown;
        region None for all regions. Raises what the program refuses."""
        number = 0 if region is None else (
            region if isinstance(region, int) else self._s.region_number(region))
        if value is None:
            text = None
        elif isinstance(value, bool):
            text = "True" if value else "False"
        elif isinstance(value, (int, float, np.floating, np.integer)):
            text = repr(float(value))
        else:
            text = str(value)
        self._s.edit(name, text, number)

    # ---- reading -------------------------------------------------------------

    def names(self, owner="results"):
        """Parameter names of results, environment, substance, emission or regcomps."""
        return self._s.names(owner)

    def catalogue(self, owner="results"):
        """Name, unit and kind (scalar, region, pair, regcomp) of every parameter."""
        rows = []
        for name in self._s.names(owner):
            v = self._s.values(name)
            rows.append((v["name"], v["unit"], v["kind"]))
        return _pandas().DataFrame(rows, columns=["name", "unit", "kind"])

    def values(self, name, owner=None):
        """Everything about one parameter: name, unit, kind, owner, values
        (numpy) and statuses (one letter per value, numpy array). The owner
        (results, environment, substance, emission, regcomps) tells names
        apart that two share, such as the substance's and the calculated
        BCF_fish; without it the first in that order."""
        v = self._s.values(name, owner or "")
        v["statuses"] = np.array(list(v["statuses"]), dtype="<U1").reshape(
            np.shape(v["values"]))
        return v

    def result(self, name, owner=None):
        """The values of a result, environment, substance, emission or regcomp
        parameter as a numpy array: a scalar, one value per region (or box),
        or regions x regions for pairs."""
        return self._s.values(name, owner or "")["values"]

    def status(self, name, owner=None):
        """The status letters (F D I E H U) of a parameter's values."""
        return self.values(name, owner)["statuses"]

    def frame(self, name, owner=None):
        """A parameter as a DataFrame: per region (or box) value and status,
        regions x regions for pairs; attrs name and unit."""
        pd = _pandas()
        v = self.values(name, owner)
        if v["kind"] == "scalar":
            frame = pd.DataFrame({"value": [v["values"][()]], "status": [v["statuses"][()]]},
                                 index=[name])
        elif v["kind"] in ("pair", "regcomp pair"):
            labels = (list(self.regions["name"]) if v["kind"] == "pair" else self.regcomp_names)
            frame = pd.DataFrame(v["values"], index=labels, columns=labels)
        else:
            labels = (self.regcomp_names if v["kind"] == "regcomp"
                      else list(self.regions["name"]))
            frame = pd.DataFrame({"value": v["values"], "status": v["statuses"]}, index=labels)
        frame.attrs["name"] = v["name"]
        frame.attrs["unit"] = v["unit"]
        return frame

    def table(self, names):
        """Several per-region parameters side by side, one column each."""
        pd = _pandas()
        frame = pd.DataFrame({n: self.result(n) for n in names},
                             index=list(self.regions["name"]))
        frame.attrs["units"] = {n: self._s.values(n)["unit"] for n in names}
        return frame

    @property
    def regcomps(self):
        """Every box: region, compartment, exists and the quantities of the
        system solve (AREA, V, kdeg, ADV_outside, EMIS, CONC, MASS, RESTIME,
        EMISprime)."""
        pd = _pandas()
        rc = self.regcomp_names
        n = len(rc)
        regions = list(self.regions["name"])
        compartments = list(self.compartments["name"])
        columns = {"number": np.arange(1, n + 1),
                   "region": [regions[k // 12] for k in range(n)],
                   "compartment": [compartments[k % 12] for k in range(n)],
                   "exists": self.result("exists") == "TRUE"}
        for name in self._s.names("regcomps")[1:]:
            columns[name] = self.result(name)
        return pd.DataFrame(columns)

    @property
    def msr(self):
        """The mass-balance residual of the last solve."""
        return self._s.msr()

    def matrix(self, name):
        """A factor matrix of Factors mode (FF, XF1, XF2, XF, XF*FF, EFeco,
        EFhum) as a dense numpy array with its row and column names."""
        return self._s.matrix(name)

    def matrix_frame(self, name):
        m = self._s.matrix(name)
        return _pandas().DataFrame(m["values"], index=m["rows"], columns=m["columns"])

    def balance(self, region, compartment, net=False):
        """The gross (or net) mass balance of one box, as the Balance tab."""
        b = self._s.balance(region, compartment, net)
        frame = _pandas().DataFrame(b["rows"], columns=b["headings"])
        frame["amount value"] = b["amounts"]
        return frame

    def explain(self, region, dose=False, indicator="none"):
        """The Distribution (or Dose) buttons of a region, World, Countries or
        Seas: item, visible, bar position, caption lines and the breakdown
        lines each opens."""
        return _pandas().DataFrame(self._s.explain(region, dose, indicator))

    def check(self, unused=True, negative=True):
        """The lines of the Check tab."""
        return self._s.check(unused, negative)

    def all_factors(self, regions=None, compartments=None, inversion=True):
        """The characterisation factors of the substance for every chosen
        emission box (default: the All factors dialog's choice), relative to
        the reference; NaN where a factor is unknown. As in the program, the
        emission ends in the last box and the results are its calculation."""
        t = self._s.all_factors(list(regions or []), list(compartments or []), inversion)
        values = np.where(t["known"], t["values"], np.float32("nan")).astype(np.float32)
        frame = _pandas().DataFrame(values, columns=FACTOR_COLUMNS)
        frame.insert(0, "compartment", t["compartment"])
        frame.insert(0, "region", t["region"])
        frame.insert(0, "substance", self.substance)
        return frame

    # ---- in time ---------------------------------------------------------------

    def dynamic(self, emissions, until, times="lin:10", start_from=(), tolerance=1e-4):
        """How the masses of every box change in time under an emission
        scenario, on the calculated world (calculate first).

        emissions: rows (region, compartment, from, to, rate[, rate at the
        end]) with times as seconds or texts such as "10y" ("to" None: to the
        end), rates in kg/s; until: the end of the run; times: the output
        times, a list or "lin:N", "log:N", "1d,1y,..."; start_from: (region,
        compartment, rate) of emissions whose steady state the run starts
        from (none: an empty world)."""
        return DynamicRun(self, self._s.dynamic([list(e) for e in emissions], until, times,
                                                [tuple(e) for e in start_from], tolerance))

    def state_results(self, mass, names=None):
        """Concentrations, doses, intakes and risk ratios of a state in time
        (one mass per box, kg), through the calculation's own stages; the
        results of the calculation stay as they were. Default: every result a
        state makes meaningful."""
        return self._s.state_results(np.asarray(mass, dtype=np.float64), list(names or []))

    def warnings(self):
        """Warnings not yet told (every call tells its own as Python warnings)."""
        return self._s.warnings()


class DynamicRun:
    """A dynamic run: the masses (kg) and concentrations (kg/m3) of every box
    at the output times, their totals per compartment and region, the mass
    accounting, and per series (world, compartments, regions, boxes) the
    times to 50, 90 and 95 % of the steady state, the peak and the half-time
    of decline (seconds; -1 when not reached within the run)."""

    def __init__(self, world, r):
        pd = _pandas()
        self.time = np.asarray(r["time"])
        self.mass = r["mass"]
        self.concentration = r["concentration"]
        names = world.regcomp_names
        self.compartment_mass = pd.DataFrame(r["compartment_mass"], index=self.time,
                                             columns=list(world.compartments["name"]))
        self.region_mass = pd.DataFrame(r["region_mass"], index=self.time,
                                        columns=list(world.regions["name"]))
        self.box_names = names
        self.ledger = pd.DataFrame({n: r[n] for n in ("emitted", "degraded", "removed", "present",
                                                      "imbalance")}, index=self.time)
        self.derived = pd.DataFrame(r["derived"])
        self.stats = {n: r[n] for n in ("steps", "rejected", "factorisations", "seconds",
                                        "approach_known", "stop_time")}

    def box_mass(self):
        """The masses as a DataFrame, times by boxes."""
        return _pandas().DataFrame(self.mass, index=self.time, columns=self.box_names)
