#!/usr/bin/env bash
# Minimises a fuzz target's kept corpus: merges KEPT with what the other folders found into the
# smallest set of inputs that reaches the same coverage, and keeps only the small ones.
#   fuzz-merge.sh FUZZER KEPT OTHER...
set -euo pipefail
fuzzer=$1
kept=$2
shift 2
max_bytes=${FUZZ_KEEP_MAX_BYTES:-16384}
mkdir -p "$kept"
merged=$(mktemp -d)
trap 'rm -rf "$merged"' EXIT
# The small inputs only: the repository keeps no large files, and the seeds (whole short days)
# are written anew by fuzz_seeds for every run.
small=$(mktemp -d)
trap 'rm -rf "$merged" "$small"' EXIT
for dir in "$kept" "$@"; do
  [ -d "$dir" ] || continue
  find "$dir" -maxdepth 1 -type f -size -"$((max_bytes + 1))"c -exec cp -t "$small" {} +
done
"$fuzzer" -merge=1 "$merged" "$small" 2>/dev/null
find "$kept" -maxdepth 1 -type f -delete
find "$merged" -maxdepth 1 -type f -exec cp -t "$kept" {} +
echo "$(basename "$fuzzer"): $(find "$kept" -type f | wc -l) inputs kept in $kept"
