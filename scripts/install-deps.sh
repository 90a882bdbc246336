#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Pluvicam need, when missing.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev
  libbenchmark-dev libcli11-dev clang clang-tidy libclang-rt-14-dev qt6-base-dev qt6-svg-dev
  fonts-liberation xvfb xauth libnetcdf-dev libhdf5-dev libdeflate-dev netcdf-bin clang-format)
# The Python module and its tests (reading the products back as a scientist would, Dask's local
# cluster); their recommendations would pull in a whole scientific Python stack.
lean=(python3-netcdf4 python3-xarray python3-dev pybind11-dev python3-pytest python3-numpy
  python3-pandas python3-dask python3-distributed)
missing=()
lean_missing=()
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${lean[@]}"; do installed "$p" || lean_missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ] || [ ${#lean_missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]} ${lean_missing[*]}"
  $sudo apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
  if [ ${#lean_missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
      "${lean_missing[@]}"
  fi
fi
