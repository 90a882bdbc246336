#!/usr/bin/python3
"""The drop size distribution of 20 synthetic 1-million-particle files in one series: the command
line (dsd --moments --netcdf, with --jobs 1 and 2 where it has that option), pluvicam.dsd in this
process, and pluvicam.dask.dsd_series on a LocalCluster of two worker processes. Prints particles
per second, wall time and peak memory of each, and what they project to for a decade of one
instrument (10^9 particles) and for ten instruments on ten such nodes. The files are written by
pluvicam-synth into a temporary folder, and removed after.

    /usr/bin/python3 bench/dsd_series_bench.py [--build build] [--files 20] [--particles 1000000]
"""

import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

DECADE = 1e9  # particles of one instrument in ten years


def run_measured(command):
    """(wall seconds, peak resident KiB) of a command run to its end."""
    begin = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.perf_counter() - begin
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError("%s ended with %d" % (" ".join(command), status))
    return seconds, usage.ru_maxrss


def report(name, particles, seconds, peak_mib):
    rate = particles / seconds
    print("%-34s %8.2f s  %6.2f M particles/s  peak %7.0f MiB  decade %5.1f min"
          % (name, seconds, rate / 1e6, peak_mib, DECADE / rate / 60))
    return rate


def worker_peak_kib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--files", type=int, default=20)
    parser.add_argument("--particles", type=int, default=1000000)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    sys.path.insert(0, os.path.join(build, "python"))
    os.environ["PYTHONPATH"] = os.path.join(build, "python")
    import pluvicam
    import pluvicam.dask
    import xarray
    from distributed import Client, LocalCluster

    cli = os.path.join(build, "pluvicam-cli")
    folder = tempfile.mkdtemp(prefix="pluvicam_series_bench_")
    try:
        files = []
        # One hour each, one after the other: a series whose times never overlap.
        for i in range(args.files):
            name = "h%02d" % i
            subprocess.run([os.path.join(build, "pluvicam-synth"), "day", "--out", folder,
                            "--name", name, "--seed", str(100 + i), "--start", "%02d:00" % i,
                            "--hours", "1", "--particles", str(args.particles)],
                           check=True, stdout=subprocess.DEVNULL)
            files.append(os.path.join(folder, name + ".hyd"))

        reference = os.path.join(folder, "cli.nc")
        has_jobs = "--jobs" in subprocess.run([cli, "dsd", "--help"], capture_output=True,
                                              text=True).stdout
        runs = [[]] + ([["--jobs", "1"], ["--jobs", "2"]] if has_jobs else [])
        timings = []
        for extra in runs:
            seconds, peak = run_measured([cli, "dsd", *files, "--moments", "--netcdf", reference,
                                         *extra])
            timings.append(("pluvicam-cli dsd " + (" ".join(extra) or "(serial)"), seconds,
                            peak / 1024))
        with xarray.open_dataset(reference) as product:
            particles = int(product["N"].sum())
            want = product.load()

        begin = time.perf_counter()
        local = pluvicam.dsd(files)
        timings.append(("pluvicam.dsd in process", time.perf_counter() - begin,
                        resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024))

        with LocalCluster(processes=True, n_workers=2, threads_per_worker=1,
                          dashboard_address=None) as cluster, Client(cluster) as client:
            client.run(lambda: __import__("pluvicam").__version__)  # loaded before the clock
            begin = time.perf_counter()
            series = pluvicam.dask.dsd_series(files, client)
            seconds = time.perf_counter() - begin
            peaks = client.run(worker_peak_kib)
        timings.append(("dask.dsd_series, 2 workers", seconds,
                        sum(peaks.values()) / 1024))

        for got in (local, series):
            for name in want.data_vars:
                xarray.testing.assert_identical(got[name], want[name])

        print("%d files, %d particles in the product's intervals" % (len(files), particles))
        rates = {name: report(name, particles, s, mib) for name, s, mib in timings}
        dask_rate = rates["dask.dsd_series, 2 workers"]
        print("ten instruments on ten 2-core nodes (one instrument a node, linear): a decade of "
              "each in %.1f min" % (DECADE / dask_rate / 60))
        print("(peak memory: the command's process; the caller; the two workers together)")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
