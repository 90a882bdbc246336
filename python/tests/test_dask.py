"""dsd_series on a local cluster of two worker processes against the series read in-process."""

import pytest
import xarray as xr

import pluvicam
import pluvicam.dask
from conftest import run_cli
from test_module import assert_same_product, read_product

distributed = pytest.importorskip("distributed")


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(processes=True, n_workers=2, threads_per_worker=1,
                                  dashboard_address=None) as cluster:
        with distributed.Client(cluster) as client:
            yield client


def test_cluster_series_is_the_in_process_series_and_the_cli_file(days, client, tmp_path):
    broken = tmp_path / "broken.hyd"
    broken.write_bytes(b"no data here")
    files = [days["late"], days["early"], broken, days["mid"]]
    with pytest.warns(pluvicam.PluvicamWarning):
        local = pluvicam.dsd(files)
    with pytest.warns(pluvicam.PluvicamWarning):
        series = pluvicam.dask.dsd_series(files, client)
    assert_same_product(series, local)

    target = tmp_path / "cli.nc"
    status, _, err = run_cli("dsd", *files, "--moments", "--netcdf", target)
    assert status == 1, err
    written = tmp_path / "series.nc"
    series.to_netcdf(written)
    assert_same_product(read_product(written), read_product(target))


def test_options_reach_the_workers(days, client):
    options = {"mode": "rain", "interval": 0.1, "delta_d": 0.2, "moments": False}
    series = pluvicam.dask.dsd_series([days["mid"], days["early"]], client, **options)
    assert_same_product(series, pluvicam.dsd([days["early"], days["mid"]], **options))
    with pytest.raises(ValueError, match="--delta-d"):
        pluvicam.dask.dsd_series([days["early"]], client, delta_d=0.3)
    with pytest.raises(TypeError, match="colour"):
        pluvicam.dask.dsd_series([days["early"]], client, colour="red")
