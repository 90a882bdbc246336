#!/usr/bin/env bash
# Line coverage of the core reached by the fuzz corpora: runs every target once over its kept
# corpus and seeds (built with PLUVICAM_FUZZ_COVERAGE), then sums llvm-cov's figures per folder.
#   fuzz-coverage.sh BUILD SEEDS CORPUS FUZZER...
set -euo pipefail
build=$1
seeds=$2
corpus=$3
shift 3
profiles=$build/profiles
rm -rf "$profiles"
mkdir -p "$profiles"
objects=()
for f in "$@"; do
  mkdir -p "$seeds/$f" "$corpus/$f"
  LLVM_PROFILE_FILE="$profiles/$f-%p.profraw" "$build/fuzz/$f" -runs=0 "$seeds/$f" "$corpus/$f" \
    >/dev/null 2>&1
  objects+=(-object "$build/fuzz/$f")
done
llvm-profdata merge -sparse "$profiles"/*.profraw -o "$profiles/all.profdata"
llvm-cov export -summary-only "${objects[@]:1}" -instr-profile "$profiles/all.profdata" \
  >"$profiles/summary.json"
python3 - "$profiles/summary.json" "$(pwd)" <<'PY'
import json, os, sys
summary = json.load(open(sys.argv[1]))
root = sys.argv[2]
folders = {}
for data in summary["data"]:
    for f in data["files"]:
        path = os.path.relpath(os.path.realpath(f["filename"]), root)
        parts = path.split(os.sep)
        if len(parts) < 3 or parts[0] != "src":
            continue
        lines = f["summary"]["lines"]
        count, covered = folders.get(parts[1], (0, 0))
        folders[parts[1]] = (count + lines["count"], covered + lines["covered"])
print("line coverage of the fuzz corpora, per source folder:")
for folder in ("data", "particle", "document", "statistics", "shell"):
    if folder in folders:
        count, covered = folders[folder]
        print(f"  src/{folder:<11} {covered:6d} of {count:6d} lines  {100.0 * covered / max(count, 1):5.1f} %")
PY
