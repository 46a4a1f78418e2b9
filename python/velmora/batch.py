"""Characterisation factors of many substances for every emission box, on a
Dask cluster:

    python3 -m velmora.batch --out DIR [--substance NAME ...] [--blocks N]
                             [--scheduler ADDRESS | --workers N] [world options]

Each task is one substance (or one substance and one block of regions) in a
worker process that keeps its started world between tasks. Without
--scheduler a local cluster runs one worker process per core. The client
writes each finished task under DIR/.parts at once, so a batch that is
interrupted and started again with the same arguments only runs the tasks
that are missing; a task whose worker dies is run again on another. At the
end DIR/factors.tsv holds every row (substance, region, compartment and the
fourteen factors, as velmora-cli factors writes them) and DIR/run.tsv what
made them. The exit code is 1 when a substance failed (its message is in
run.tsv and on standard error), 2 for wrong arguments.
"""
import argparse
import hashlib
import json
import os
import sys
import tempfile
import time

import velmora

FORMAT = 1  # of the part files; parts of another format are not reused


# ---- in the worker -----------------------------------------------------------

_worlds = {}


def _world(options, substance):
    """The started world of these options in this worker process, made once
    per substance: a world that opened one substance after another gave some
    factors of the later one that differ from its own start-up's, so the
    blocks of one substance share a world and no substance inherits one."""
    key = json.dumps([options, substance], sort_keys=True)
    if key not in _worlds:
        _worlds.clear()  # one world per process: each holds hundreds of MB
        world = velmora.open(**options["world"])
        reference = options["reference"]
        if reference == "none":
            world.clear_reference()
        elif reference:
            name, _, box = reference.partition(":")
            region, _, compartment = box.rpartition(":")
            world.set_reference(name, region or None, compartment or "air")
        _worlds[key] = world
    return _worlds[key]


def factors_task(options, substance, regions):
    """The factor rows of one substance for the boxes of `regions` (None: the
    selection of the options), as the lines of the table, or its error."""
    import warnings
    with warnings.catch_warnings(record=True) as told:
        warnings.simplefilter("always")
        try:
            world = _world(options, substance)
            world.substance = substance
            table = world.all_factors(regions=regions or options["regions"],
                                      compartments=options["compartments"])
        except velmora.VelmoraError as e:
            _worlds.clear()  # what a failed substance leaves is not trusted
            return {"error": str(e), "lines": [], "warnings": [str(w.message) for w in told]}
    lines = []
    values = table[list(velmora.FACTOR_COLUMNS)].to_numpy()
    texts = velmora.shortest(values)
    known = ~(table[list(velmora.FACTOR_COLUMNS)].isna().to_numpy())
    width = len(velmora.FACTOR_COLUMNS)
    for k, (region, compartment) in enumerate(zip(table["region"], table["compartment"])):
        cells = [texts[k * width + j] if known[k, j] else "" for j in range(width)]
        lines.append("\t".join([substance, region, compartment] + cells))
    return {"error": None, "lines": lines, "warnings": [str(w.message) for w in told],
            "reference": world.reference.get("substance", "none")}


# ---- in the client -------------------------------------------------------------


def _arguments(argv):
    p = argparse.ArgumentParser(prog="python3 -m velmora.batch",
                                description=__doc__.split("\n\n")[0])
    p.add_argument("--out", required=True, help="folder of factors.tsv and run.tsv")
    p.add_argument("--substance", action="append", default=[],
                   help="a substance (repeatable); default every substance of the workbook")
    p.add_argument("--regions", help="file of region names, one a line (the emission regions)")
    p.add_argument("--compartments", help="comma-separated compartment names or abbreviations")
    p.add_argument("--reference", help="NAME[:REGION:COMPARTMENT] or none; default the start-up")
    p.add_argument("--blocks", type=int, default=1,
                   help="split each substance's regions into this many tasks")
    p.add_argument("--scheduler", help="address of a running Dask scheduler")
    p.add_argument("--workers", type=int, help="worker processes of the local cluster "
                   "(default one per core)")
    for name in ("parameters", "borders", "substances"):
        p.add_argument("--" + name, help="workbook (default: the program's)")
    p.add_argument("--level", type=int, default=0, help="aggregation level 0..15")
    p.add_argument("--group", default="", help="aggregation group")
    a = p.parse_args(argv)
    if a.blocks < 1:
        p.error("--blocks must be at least 1")
    if a.workers is not None and a.workers < 1:
        p.error("--workers must be at least 1")
    return a


def _sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:  # noqa: the builtin, not velmora.open
        for chunk in iter(lambda: f.read(1 << 20), b""):
            h.update(chunk)
    return h.hexdigest()


def _write(path, text):
    """Writes a file whole or not at all."""
    folder = os.path.dirname(path)
    fd, temporary = tempfile.mkstemp(dir=folder, prefix=".", suffix=".partial")
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def _plan(a):
    """The world options, the workbooks and the tasks of the batch."""
    world = {"parameters": a.parameters, "borders": a.borders, "substances": a.substances,
             "level": a.level, "group": a.group}
    directory = velmora.default_directory()
    files = {n: os.path.abspath(world[n] or os.path.join(directory, default))
             for n, default in (("parameters", "ENVDATA2part1.xlsx"),
                                ("borders", "ENVDATA2part2.xlsx"),
                                ("substances", "substances.xlsx"))}
    for name, path in files.items():
        if not os.path.isfile(path):
            raise velmora.VelmoraError("cannot read the %s workbook %s" % (name, path))
        world[name] = path
    names = a.substance or velmora.substance_names(files["substances"])
    names = list(dict.fromkeys(names))  # a name listed twice is one substance
    regions = None
    if a.regions:
        with open(a.regions, encoding="utf-8-sig") as f:  # noqa: the builtin
            regions = [line.rstrip("\r\n") for line in f if line.rstrip("\r\n")]
    compartments = [c for c in (a.compartments or "").split(",") if c]
    options = {"world": world, "reference": a.reference, "regions": regions,
               "compartments": compartments}
    blocks = [None]
    if a.blocks > 1:
        # Blocks of consecutive regions keep the rows in the program's order.
        every = regions or velmora.open(**world).factor_regions
        size = -(-len(every) // a.blocks)
        blocks = [every[k:k + size] for k in range(0, len(every), size)]
    tasks = [(s, b) for s in names for b in blocks]
    return options, files, tasks


def _partname(index):
    return "%06d.json" % index


def _cluster(a):
    """A client of the scheduler given, or of a local cluster of its own (None
    with a scheduler: a running cluster is not ours to close)."""
    from dask.distributed import Client, LocalCluster
    if a.scheduler:
        return Client(a.scheduler), None
    workers = a.workers or os.cpu_count() or 1
    cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                           dashboard_address=None)
    return Client(cluster), cluster


def run(argv=None, client=None, log=sys.stderr):
    """Runs the batch of the command-line arguments argv; with a Dask client
    given, on its cluster. Returns the exit code."""
    a = _arguments(argv)
    start = time.time()
    try:
        options, files, tasks = _plan(a)
    except (velmora.VelmoraError, OSError) as e:
        print("velmora.batch: %s" % e, file=log)
        return 1
    os.makedirs(a.out, exist_ok=True)
    parts = os.path.join(a.out, ".parts")
    os.makedirs(parts, exist_ok=True)
    plan = {"format": FORMAT, "options": options,
            "checksums": {n: _sha256(p) for n, p in files.items()},
            "tasks": [[s, b] for s, b in tasks]}
    planfile = os.path.join(parts, "plan.json")
    if os.path.exists(planfile):
        with open(planfile, encoding="utf-8") as f:  # noqa: the builtin
            if json.load(f) != plan:
                print("velmora.batch: %s holds the parts of another batch (other arguments or "
                      "workbooks); give another --out or remove %s" % (a.out, parts), file=log)
                return 2
    else:
        _write(planfile, json.dumps(plan))
    done = {k for k in range(len(tasks)) if os.path.exists(os.path.join(parts, _partname(k)))}
    todo = [k for k in range(len(tasks)) if k not in done]
    if todo:
        ours = client is None
        cluster = None
        if ours:
            client, cluster = _cluster(a)
        try:
            from dask.distributed import as_completed
            futures = {client.submit(factors_task, options, tasks[k][0], tasks[k][1],
                                     pure=False): k for k in todo}
            for future in as_completed(futures):
                k = futures[future]
                _write(os.path.join(parts, _partname(k)), json.dumps(future.result()))
        finally:
            if ours:
                client.close()
                if cluster is not None:
                    cluster.close()
    command = "python3 -m velmora.batch " + " ".join(sys.argv[1:] if argv is None else argv)
    return _finish(a, plan, parts, tasks, len(todo), start, command, log)


def _finish(a, plan, parts, tasks, ran, start, command, log):
    """factors.tsv and run.tsv from the parts, in task order."""
    heading = "\t".join(("substance", "region", "compartment") + velmora.FACTOR_COLUMNS)
    rows, failed, reference = [heading], {}, None
    for k, (substance, _) in enumerate(tasks):
        with open(os.path.join(parts, _partname(k)), encoding="utf-8") as f:  # noqa: builtin
            part = json.load(f)
        for w in part["warnings"]:
            print("Warning: %s: %s" % (substance, w), file=log)
        if part["error"]:
            failed.setdefault(substance, part["error"])
            continue
        reference = reference or part.get("reference")
        rows.extend(part["lines"])
    # A substance that failed in one block has no complete rows: none are kept.
    rows = [r for r in rows if r.split("\t", 1)[0] not in failed]
    _write(os.path.join(a.out, "factors.tsv"), "\n".join(rows) + "\n")
    run_rows = [("program", "velmora.batch"), ("command", command)]
    for name in ("parameters", "borders", "substances"):
        run_rows.append(("workbook", name, plan["options"]["world"][name],
                         plan["checksums"][name]))
    run_rows += [("AggregationLevel", str(a.level)), ("AggregationGroup", a.group),
                 ("reference", reference or "-"),
                 ("regions", a.regions or "default selection"),
                 ("compartments", a.compartments or "default selection"),
                 ("tasks", str(len(tasks))), ("tasks run", str(ran)),
                 ("tasks reused", str(len(tasks) - ran)),
                 ("scheduler", a.scheduler or ("local cluster" if ran else "-")),
                 ("rows", str(len(rows) - 1)), ("time", "%.3f" % (time.time() - start))]
    for substance, message in failed.items():
        run_rows.append(("failed", substance, message))
        print("velmora.batch: %s: %s" % (substance, message), file=log)
    _write(os.path.join(a.out, "run.tsv"), "".join("\t".join(r) + "\n" for r in run_rows))
    return 1 if failed else 0


if __name__ == "__main__":
    # The tasks are sent to the workers by reference to this module, which
    # they import; as __main__ they would be sent whole, without the worlds
    # each worker keeps.
    from velmora import batch
    sys.exit(batch.run())
