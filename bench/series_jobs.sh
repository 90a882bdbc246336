#!/bin/sh
# A campaign on all cores: FILES synthetic files of about PARTICLES particles each (made here,
# removed at the end) into one product with `dsd --moments --netcdf`, once per --jobs value.
# The generator writes one date only, so the files are consecutive stretches of that day, 72
# minutes each for 20 files: a series of 20 million-particle files that never overlap.
# Prints particles per second, wall time and peak memory per run, and what that makes of a
# decade of one instrument (1e9 particles) and of ten instruments on ten such machines.
#
#   bench/series_jobs.sh [BUILD_DIR] [FILES] [PARTICLES] [JOBS...]
#   defaults: build 20 1000000 1 2
set -eu
build=${1:-build}
days=${2:-20}
particles=${3:-1000000}
shift $(( $# < 3 ? $# : 3 ))
jobs=${*:-1 2}

work=$(mktemp -d "${TMPDIR:-/tmp}/pluvicam-series-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

total=0
files=
d=0
while [ "$d" -lt "$days" ]; do
  minutes=$((1440 / days))
  first=$((d * minutes))
  start=$(printf '%02d:%02d' $((first / 60)) $((first % 60)))
  line=$("$build/pluvicam-synth" day --out "$work" --name "day$d" --seed $((d + 1)) \
    --start "$start" --hours "$(awk -v m="$minutes" 'BEGIN { print m / 60 }')" \
    --particles "$particles")
  count=$(echo "$line" | sed -n 's/.*: \([0-9]*\) particles.*/\1/p')
  total=$((total + count))
  files="$files $work/day$d.hyd"
  d=$((d + 1))
done
echo "$days files, $total particles"

for j in $jobs; do
  rm -f "$work/series.nc"
  /usr/bin/time -f "%e %M" -o "$work/time" \
    "$build/pluvicam-cli" dsd --moments --netcdf "$work/series.nc" --jobs "$j" $files
  read -r wall peak <"$work/time"
  awk -v j="$j" -v n="$total" -v w="$wall" -v kb="$peak" 'BEGIN {
    rate = n / w
    printf "--jobs %d: %.2f s, %.2f M particles/s, peak %.0f MB; a decade (1e9) %.1f min, " \
           "ten instruments on ten such machines the same\n", j, w, rate / 1e6, kb / 1024,
           1e9 / rate / 60
  }'
done
