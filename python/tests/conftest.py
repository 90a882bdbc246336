"""Synthetic days written by pluvicam-synth, and the command line to compare with."""

import os
import shutil
import subprocess

import pytest

CLI = os.environ.get("PLUVICAM_CLI", "pluvicam-cli")
SYNTH = os.environ.get("PLUVICAM_SYNTH", "pluvicam-synth")


def run_cli(*arguments, cwd=None):
    """(exit status, standard output, standard error) of pluvicam-cli."""
    done = subprocess.run([CLI, *map(str, arguments)], capture_output=True, text=True, cwd=cwd)
    return done.returncode, done.stdout, done.stderr


@pytest.fixture(scope="session")
def days(tmp_path_factory):
    """Three days of one instrument, each an hour from 06:00, 08:00 and 10:00 (format 4), a
    snow half hour, and a copy of the first day cut inside a record."""
    folder = tmp_path_factory.mktemp("days")
    made = {}
    for name, start, extra in [("early", "06:00", []), ("mid", "08:00", []),
                               ("late", "10:00", ["--format", "1"]),
                               ("snow", "12:00", ["--snow"])]:
        subprocess.run([SYNTH, "day", "--out", str(folder), "--name", name, "--seed", "7",
                        "--start", start, "--hours", "1", "--particles", "6000", *extra],
                       check=True, capture_output=True)
        made[name] = folder / (name + (".sno" if name == "snow" else ".hyd"))
    cut = folder / "cut.hyd"
    data = made["early"].read_bytes()
    cut.write_bytes(data[: len(data) // 2 + 3])
    shutil.copy(folder / "early.hd", folder / "cut.hd")
    made["cut"] = cut
    return made
