"""What the Python tests share: the command-line tool of the same build and
worlds on the default workbooks beside it."""
import os
import subprocess

import numpy as np
import pytest

BIN = os.environ.get("VELMORA_BIN_DIR", "")
CLI = os.path.join(BIN, "velmora-cli")


def cli(*args):
    """Standard output of velmora-cli; a failure fails the test with its message."""
    done = subprocess.run([CLI, *args], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stdout


def tsv(path):
    """The lines of a table as lists of fields."""
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f]


def number(text, infvalue=np.float32(1e20)):
    """A value as the program wrote it; "inf" is the stored InfValue."""
    return infvalue if text == "inf" else np.float32(text)


@pytest.fixture(scope="session")
def world():
    """The default world after the start-up, as the program leaves it."""
    import velmora
    return velmora.open()
