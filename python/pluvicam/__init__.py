"""Pluvicam for Python: the particles, file summaries and drop size distribution products of a
two-camera line-scan precipitation instrument, computed by the same core as pluvicam-cli.

Options take the command line's values and are checked by the same code, so a bad value raises
ValueError with the message the command line prints. A file that does not open raises OSError
(FileNotFoundError, PermissionError); a read stopped by bad data raises DataError. What the
command line would report on standard error and go on after arrives as a PluvicamWarning.
"""

import datetime
import warnings

from ._pluvicam import DataError, __version__
from . import _pluvicam

__all__ = ["read_particles", "dsd", "info", "DataError", "PluvicamWarning", "__version__"]

_FILTERS = {
    "diameter": "--diameter",
    "velocity": "--velocity",
    "oblateness": "--oblateness",
    "pixel_a": "--pixel-a",
    "pixel_b": "--pixel-b",
    "type": "--type",
}


class PluvicamWarning(UserWarning):
    """A message of the reader that did not stop it: a record passed over, a file left out."""


def _warn(messages):
    if messages:
        warnings.warn(messages, PluvicamWarning, stacklevel=3)


def _clock(value):
    if isinstance(value, datetime.time):
        return value.strftime("%H:%M:%S")
    return str(value)


def _number(value):
    return format(value, "g") if isinstance(value, float) else str(value)


def _document_arguments(window, filters, qc):
    """The command line's window, filter and quality-control options for these arguments."""
    arguments = []
    if window is not None:
        try:
            start, end = window
        except (TypeError, ValueError):
            raise ValueError("window: expected (start, end) as HH:MM[:SS], got %r" % (window,))
        if start is not None:
            arguments += ["--from", _clock(start)]
        if end is not None:
            arguments += ["--to", _clock(end)]
    for name, value in (filters or {}).items():
        if name not in _FILTERS:
            raise ValueError("filters: unknown filter %r; known: %s" % (name, ", ".join(_FILTERS)))
        if name == "type":
            arguments += [_FILTERS[name], str(value)]
        else:
            low, high = value
            arguments += [_FILTERS[name], "%s:%s" % (_number(low), _number(high))]
    # Quality control is the command line's --qc-NAME options, NAME with dashes for underscores.
    for name, value in (qc or {}).items():
        arguments += ["--qc-" + name.replace("_", "-"), _number(value)]
    return arguments


def read_particles(path, *, window=None, filters=None, qc=None, keep_going=False,
                   as_frame=True):
    """The particles of one file with the columns of ``pluvicam-cli particles``.

    window: (start, end) times of day as "HH:MM[:SS]" or datetime.time; filters: a dict of
    diameter, velocity, oblateness, pixel_a, pixel_b as (min, max) and type as a class 1-6;
    qc: the quality-control options by name (velocity, velocity_tolerance). With any of them the
    particles are those the main window accepts, else every particle the reader delivers.
    keep_going: pass over a particle whose computation failed, and return what was read when the
    data end early, with a warning, instead of raising DataError.

    Returns a pandas.DataFrame whose attrs["units"] maps each column to its unit, or with
    as_frame=False a dict of NumPy arrays.
    """
    arguments = _document_arguments(window, filters, qc)
    columns, units, messages = _pluvicam.read_particles(str(path), arguments, bool(keep_going))
    _warn(messages)
    columns["time"] = columns["time"].astype(str)
    if not as_frame:
        return columns
    import pandas

    frame = pandas.DataFrame(columns, copy=False)
    frame.attrs["units"] = dict(units)
    return frame


def info(path):
    """What ``pluvicam-cli info`` tells of a file, as a dict: kind, format, length, indexed
    minutes, main headers (time in seconds since 1970), particles, failures, rain in mm."""
    summary, messages = _pluvicam.info(str(path))
    _warn(messages)
    return summary


def _dsd_options(mode, interval, delta_d, scale, moments, window, filters, qc, jobs):
    options = ["--mode", str(mode)]
    if interval is not None:
        options += ["--interval", _number(interval)]
    if delta_d is not None:
        options += ["--delta-d", _number(delta_d)]
    options += ["--scale", str(scale)]
    if moments:
        options.append("--moments")
    if jobs is not None:
        options += ["--jobs", str(jobs)]
    return options + _document_arguments(window, filters, qc)


def _product_image(paths, options, history):
    """(netCDF bytes, messages) of the dsd command over `paths`; raises where it made none."""
    image, messages, status = _pluvicam.dsd([str(p) for p in paths], options, history,
                                            _netcdf_lock())
    if not image:
        error = OSError if status == 2 else RuntimeError
        raise error(messages or "no product was made")
    return image, messages


def _netcdf_lock():
    """The lock through which xarray uses the netCDF library, which is not safe to call from two
    threads at once; the module takes it too."""
    from xarray.backends.netCDF4_ import NETCDF4_PYTHON_LOCK

    return NETCDF4_PYTHON_LOCK


def _open_product(image):
    import netCDF4
    import xarray

    # The lock is held here for the whole reading, so the store must not take it again.
    with _netcdf_lock():
        _pluvicam.quiet_hdf5_errors()
        with netCDF4.Dataset("pluvicam", mode="r", memory=image) as nc:
            store = xarray.backends.NetCDF4DataStore(nc, lock=False)
            return xarray.open_dataset(store).load()


def dsd(paths, *, mode="time", interval=None, delta_d=0.25, scale=1, moments=True,
        window=None, filters=None, qc=None, jobs=None):
    """The drop size distribution series of ``pluvicam-cli dsd --netcdf`` as an xarray.Dataset,
    variable for variable the product that command writes.

    paths: one file or several, read in the order of their first main header's time; a file
    that does not open or overlaps another is left out with a warning. mode: time, rain,
    objects or full; interval: seconds, mm or particles by mode (None: the command's default,
    60 s in time mode); delta_d: the class width in mm; scale: 1, 2 or 5; moments: the
    integral quantities; window, filters, qc: as for read_particles; jobs: files read at once
    (None: the command's default).
    """
    if isinstance(paths, (str, bytes)) or not hasattr(paths, "__iter__"):
        paths = [paths]
    options = _dsd_options(mode, interval, delta_d, scale, moments, window, filters, qc, jobs)
    image, messages = _product_image(paths, options, "pluvicam.dsd " + " ".join(options))
    _warn(messages)
    return _open_product(image)
