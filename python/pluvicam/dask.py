"""The drop size distribution of many files on a Dask cluster: one task per file, on any
``dask.distributed`` client (a local cluster of this machine's cores when none is given)."""

import warnings

from . import _dsd_options, _open_product, _product_image, _pluvicam, PluvicamWarning

__all__ = ["dsd_series"]


def _series_order(paths):
    return _pluvicam.series_order(paths)


def _file_product(path, options, history):
    # The netCDF image travels: a few compressed bytes a day, and no xarray on the way.
    return _product_image([path], options, history)


def dsd_series(paths, client=None, **options):
    """pluvicam.dsd(paths, **options) computed on a Dask cluster, one task per file.

    The files are put in series order (by their first main header's time, each once, an
    overlapping one left out) on a worker, so the cluster needs to see them and the caller
    does not; each file's product is made by its own task and the products are joined in time
    order into the Dataset that pluvicam.dsd gives for the same files. Options are those of
    pluvicam.dsd except jobs (one task is one file). Without a client a LocalCluster of worker
    processes with one thread each serves the call and is closed after it.
    """
    if "jobs" in options:
        raise ValueError("jobs: a Dask task reads one file; the cluster's workers set the "
                         "parallelism")
    if isinstance(paths, (str, bytes)):
        paths = [paths]
    paths = [str(p) for p in paths]
    arguments = _dsd_options(**_with_defaults(options))
    history = "pluvicam.dask.dsd_series " + " ".join(arguments)
    if client is None:
        from distributed import Client, LocalCluster

        with LocalCluster(processes=True, threads_per_worker=1, dashboard_address=None) as cluster:
            with Client(cluster) as local:
                return _series(paths, local, arguments, history)
    return _series(paths, client, arguments, history)


def _with_defaults(options):
    import inspect

    from . import dsd

    known = {name: p.default for name, p in inspect.signature(dsd).parameters.items()
             if p.kind is inspect.Parameter.KEYWORD_ONLY}
    unknown = set(options) - set(known)
    if unknown:
        raise TypeError("dsd_series() got unexpected options: %s" % ", ".join(sorted(unknown)))
    known.update(options)
    return known


def _series(paths, client, arguments, history):
    import xarray

    files, messages, _ = client.submit(_series_order, paths, pure=False).result()
    if messages:
        warnings.warn(messages, PluvicamWarning, stacklevel=3)
    if not files:
        raise OSError(messages or "no file to read")
    futures = client.map(_file_product, files, options=arguments, history=history, pure=False)
    parts = []
    for future in futures:
        image, file_messages = future.result()
        if file_messages:
            warnings.warn(file_messages, PluvicamWarning, stacklevel=3)
        parts.append(_open_product(image))
    # Variables along the diameter alone are the same in every part: taken once, from the first.
    joined = xarray.concat(parts, dim="time", data_vars="minimal", coords="minimal",
                           compat="override", combine_attrs="override")
    joined.encoding = dict(parts[0].encoding)
    return joined
