"""The module against the command line: the same particles, summaries, products and messages."""

import concurrent.futures
import io
import warnings

import numpy as np
import pandas as pd
import pytest
import xarray as xr

import pluvicam
from conftest import run_cli


def cli_particles(path, *options):
    status, out, err = run_cli("particles", path, *options)
    assert status == 0, err
    return pd.read_csv(io.StringIO(out), dtype={"time": str}, keep_default_na=False,
                       na_values={c: [""] for c in ("hVelA", "hVelB", "rawDiameter")})


def assert_frame_equals_csv(frame, csv):
    assert list(frame.columns) == list(csv.columns)
    assert len(frame) == len(csv) > 0
    for name in csv.columns:
        got, want = frame[name].to_numpy(), csv[name].to_numpy()
        if got.dtype == np.float32:
            # The CSV prints the record's floats with nine digits: equal once back in float32.
            want = want.astype(np.float32)
        np.testing.assert_array_equal(got, want, err_msg=name)


@pytest.mark.parametrize("kind", ["early", "late", "snow"])
def test_particles_equal_the_csv(days, kind):
    frame = pluvicam.read_particles(days[kind])
    assert_frame_equals_csv(frame, cli_particles(days[kind]))
    assert frame.attrs["units"]["diameter"] == "mm"
    assert frame.attrs["units"]["velocity"] == "m s-1"
    arrays = pluvicam.read_particles(days[kind], as_frame=False)
    assert isinstance(arrays["tim"], np.ndarray) and arrays["diameter"].dtype == np.float32


def test_window_and_filters_choose_the_particles_of_the_main_window(days):
    frame = pluvicam.read_particles(days["early"], window=("06:10", "06:40:30"),
                                    filters={"diameter": (0.5, 3.0), "velocity": (1, 8)})
    csv = cli_particles(days["early"], "--from", "06:10", "--to", "06:40:30", "--diameter",
                        "0.5:3", "--velocity", "1:8")
    assert_frame_equals_csv(frame, csv)
    assert len(frame) < len(pluvicam.read_particles(days["early"]))


def test_info_has_the_figures_of_the_command_line(days):
    summary = pluvicam.info(days["mid"])
    status, out, _ = run_cli("info", days["mid"])
    assert status == 0
    lines = dict(line.split(": ", 1) for line in out.splitlines() if ": " in line)
    assert summary["particles"] == int(lines["particles"])
    assert "%.2f mm" % summary["rain_mm"] == lines["rain"]
    assert len(summary["main_headers"]) == int(lines["main headers"])
    assert summary["kind"] == lines["kind"] and summary["complete"]


def read_product(path):
    with xr.open_dataset(path) as product:
        return product.load()


def assert_same_product(got, want):
    got, want = got.copy(), want.copy()
    # The history says when and by which call the product was made.
    assert got.attrs.pop("history") and want.attrs.pop("history")
    xr.testing.assert_identical(got, want)


@pytest.mark.parametrize("options, cli_options", [
    ({}, ["--moments"]),
    ({"mode": "objects", "interval": 300, "delta_d": 0.1, "scale": 2, "moments": False,
      "window": ("08:05", "08:50"), "filters": {"oblateness": (0.5, 1.2)}},
     ["--mode", "objects", "--interval", "300", "--delta-d", "0.1", "--scale", "2", "--from",
      "08:05", "--to", "08:50", "--oblateness", "0.5:1.2"]),
])
def test_dsd_is_the_netcdf_product(days, tmp_path, options, cli_options):
    files = [days["mid"], days["early"]]
    target = tmp_path / "product.nc"
    status, _, err = run_cli("dsd", *files, *cli_options, "--netcdf", target)
    assert status == 0, err
    product = pluvicam.dsd(files, **options)
    assert_same_product(product, read_product(target))
    assert product.attrs["pluvicam_version"] == pluvicam.__version__


def test_bad_options_raise_the_command_lines_messages(days):
    cases = [({"window": ("25:00", None)}, ["--from", "25:00"]),
             ({"delta_d": 0.3}, ["--delta-d", "0.3"]),
             ({"mode": "rain", "interval": 9}, ["--mode", "rain", "--interval", "9"]),
             ({"filters": {"pixel_a": (1.5, 9)}}, ["--pixel-a", "1.5:9"])]
    for options, cli_options in cases:
        status, _, err = run_cli("dsd", days["early"], *cli_options)
        assert status == 2
        with pytest.raises(ValueError) as raised:
            pluvicam.dsd(days["early"], **options)
        assert err.strip().splitlines()[-1] in str(raised.value)
    with pytest.raises(ValueError, match="unknown filter 'size'"):
        pluvicam.read_particles(days["early"], filters={"size": (0, 1)})


def test_files_that_do_not_open_raise_os_errors(days, tmp_path):
    missing = tmp_path / "missing.hyd"
    _, _, err = run_cli("info", missing)
    with pytest.raises(FileNotFoundError) as raised:
        pluvicam.info(missing)
    assert str(raised.value) == err.strip()
    with pytest.raises(FileNotFoundError):
        pluvicam.read_particles(missing, window=("06:00", "07:00"))
    with pytest.raises(OSError):
        pluvicam.dsd([missing])


def test_a_file_cut_inside_a_record(days):
    _, _, err = run_cli("particles", days["cut"])
    with pytest.raises(pluvicam.DataError) as raised:
        pluvicam.read_particles(days["cut"])
    assert str(raised.value) == err.strip()
    with pytest.warns(pluvicam.PluvicamWarning):
        kept = pluvicam.read_particles(days["cut"], keep_going=True)
    whole = pluvicam.read_particles(days["early"])
    assert 0 < len(kept) < len(whole)
    pd.testing.assert_frame_equal(kept, whole.iloc[: len(kept)])


def test_a_failing_file_among_many_is_left_out_with_a_warning(days, tmp_path):
    broken = tmp_path / "broken.hyd"
    broken.write_bytes(b"no data here")
    target = tmp_path / "product.nc"
    files = [days["early"], broken, days["mid"]]
    status, _, err = run_cli("dsd", *files, "--moments", "--netcdf", target)
    assert status == 1
    with pytest.warns(pluvicam.PluvicamWarning) as caught:
        product = pluvicam.dsd(files)
    assert str(caught[0].message) == err.strip()
    assert_same_product(product, read_product(target))


def test_quality_control_takes_the_command_lines_options(days):
    for qc, flags in (({"velocity": 0.5}, ("--qc-velocity", "0.5")),
                      ({"velocity_tolerance": 1.5}, ("--qc-velocity-tolerance", "1.5"))):
        frame = pluvicam.read_particles(days["early"], qc=qc)
        assert_frame_equals_csv(frame, cli_particles(days["early"], *flags))
    # The two forms exclude each other, in the command line's words.
    with pytest.raises(ValueError, match="exclude each other"):
        pluvicam.read_particles(days["early"], qc={"velocity": 0.5, "velocity_tolerance": 1.5})


def test_threads_read_at_once_with_the_serial_results(days, capfd):
    names = ["early", "mid", "late", "snow"]
    serial = [pluvicam.read_particles(days[n]) for n in names]
    products = [pluvicam.dsd(days[n]) for n in names[:2]]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        frames = list(pool.map(lambda n: pluvicam.read_particles(days[n]), names))
        parallel = list(pool.map(lambda n: pluvicam.dsd(days[n]), names[:2]))
    for got, want in zip(frames, serial):
        pd.testing.assert_frame_equal(got, want)
    for got, want in zip(parallel, products):
        assert_same_product(got, want)
    assert "HDF5-DIAG" not in capfd.readouterr().err
