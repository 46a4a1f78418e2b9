#!/usr/bin/python3
"""Times the Dask batch (python3 -m velmora.batch) on local clusters of one
and of two worker processes over every substance and emission box of the
default selection, against velmora-cli factors --all-substances, and checks
that all three give the same rows.

usage: PYTHONPATH=build/python bench/bench_dask.py [--bin build/bin] [--workers 1,2]
       [--substances N]

Wall time includes starting the cluster and its workers; processor time
counts every process (on a busy machine it tells the cost).
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

import velmora
from velmora import batch


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    s = resource.getrusage(resource.RUSAGE_SELF)
    return r.ru_utime + r.ru_stime + s.ru_utime + s.ru_stime


def rows(path):
    with open(path, encoding="utf-8") as f:
        return [line for line in f.read().splitlines() if not line.startswith("#")]


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--bin", default=velmora.default_directory())
    p.add_argument("--workers", default="1,2")
    p.add_argument("--substances", type=int, default=0, help="the first N only (0: all)")
    a = p.parse_args()
    names = velmora.substance_names()
    if a.substances:
        names = names[:a.substances]
    chosen = [x for n in names for x in ("--substance", n)] if a.substances else []
    with tempfile.TemporaryDirectory() as folder:
        expected = None
        if not a.substances:
            out = os.path.join(folder, "cli")
            t, c = time.time(), children_cpu()
            subprocess.run([os.path.join(a.bin, "velmora-cli"), "factors", "--all-substances",
                            "--out", out], capture_output=True)
            print("velmora-cli factors    wall %6.2f s  processor %6.2f s" %
                  (time.time() - t, children_cpu() - c))
            expected = []
            for n in names:
                path = os.path.join(out, n + ".tsv")
                if os.path.exists(path):
                    expected += rows(path)[1:]
        walls = {}
        for w in [int(x) for x in a.workers.split(",")]:
            out = os.path.join(folder, "dask%d" % w)
            t, c = time.time(), children_cpu()
            code = batch.run(["--out", out, "--workers", str(w)] + chosen, log=open(os.devnull, "w"))
            walls[w] = time.time() - t
            table = rows(os.path.join(out, "factors.tsv"))[1:]
            same = "" if expected is None else ("  same rows as velmora-cli" if table == expected
                                                else "  ROWS DIFFER from velmora-cli")
            print("dask, %d worker%s      wall %6.2f s  processor %6.2f s  exit %d  rows %d%s" %
                  (w, "s" if w > 1 else " ", walls[w], children_cpu() - c, code, len(table), same))
        if 1 in walls and 2 in walls:
            print("two workers / one worker: %.3f" % (walls[2] / walls[1]))


if __name__ == "__main__":
    sys.exit(main())
