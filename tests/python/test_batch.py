"""The Dask batch against velmora-cli factors, on a running scheduler given
by address, through a worker killed in the middle and a restart that finds
most of the work done."""
import os
import signal
import threading
import time

from dask.distributed import Client, LocalCluster

from velmora import batch
from conftest import cli, tsv

SUBSTANCES = ["Atrazine", "Cadmium", "Toluene"]
ARGS = ["--compartments", "air,river", "--blocks", "2"]


def expected_rows(tmp_path):
    rows = []
    for s in SUBSTANCES:
        cli("factors", "--substance", s, "--compartments", "air,river", "--out", str(tmp_path))
        rows += tsv(os.path.join(tmp_path, s + ".tsv"))[2:]
    return rows


def written(parts):
    return os.path.isdir(parts) and any(f[0].isdigit() for f in os.listdir(parts))


def test_a_batch_equals_the_tool_after_a_killed_worker_and_a_restart(tmp_path):
    expected = expected_rows(tmp_path / "cli")
    out = str(tmp_path / "batch")
    args = ["--out", out] + ARGS + [a for s in SUBSTANCES for a in ("--substance", s)]
    with LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        pids = client.run(os.getpid)
        code = []
        scheduler = ["--scheduler", cluster.scheduler_address]
        runner = threading.Thread(target=lambda: code.append(batch.run(args + scheduler)))
        runner.start()
        # A worker dies as soon as the first task is written.
        parts = os.path.join(out, ".parts")
        while runner.is_alive() and not written(parts):
            time.sleep(0.05)
        busy = [w for w, tasks in client.processing().items() if tasks]
        assert busy, "no task left to lose"
        os.kill(pids[busy[0]], signal.SIGKILL)
        runner.join()
    assert code == [0]
    table = tsv(os.path.join(out, "factors.tsv"))
    assert table[0][:4] == ["substance", "region", "compartment", "CFtoxpot_river"]
    assert table[1:] == expected

    # Interrupted after all but one task: only that one runs again.
    os.remove(os.path.join(out, ".parts", "000003.json"))
    assert batch.run(args + ["--workers", "1"]) == 0
    run = {r[0]: r[1:] for r in tsv(os.path.join(out, "run.tsv"))}
    assert (run["tasks"], run["tasks run"], run["tasks reused"]) == (["6"], ["1"], ["5"])
    assert tsv(os.path.join(out, "factors.tsv"))[1:] == expected
    assert run["reference"] == ["Nitrobenzene"]
    assert run["command"] == [" ".join(["python3 -m velmora.batch"] + args + ["--workers", "1"])]
    workbooks = [r for r in tsv(os.path.join(out, "run.tsv")) if r[0] == "workbook"]
    assert [r[1] for r in workbooks] == ["parameters", "borders", "substances"]
    assert all(r[3] == batch._sha256(r[2]) for r in workbooks)

    # Other arguments in the same folder are refused rather than mixed in.
    assert batch.run(["--out", out, "--substance", "Atrazine"]) == 2
