#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for FUZZ_SECONDS (45) over
# its seed corpus; fails on the first crash, and when clang is missing (unless
# TANDU_ALLOW_SKIP=1).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found"
  [ "${TANDU_ALLOW_SKIP:-0}" = 1 ] && exit 0
  exit 1
fi
dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DTANDU_FUZZ=ON -DTANDU_WERROR=ON \
  -DTANDU_BUILD_QT=OFF -DTANDU_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(settings definition progress list url_name answer handoff)
cmake --build "$dir" --target "${targets[@]/#/fuzz_}"
# In memory where it can be: the file readers get a fresh file per input.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
for target in "${targets[@]}"; do
  mkdir -p "$scratch/$target"
  # New inputs go to the scratch folder, never into the repository's corpus.
  "$dir/fuzz-bin/fuzz_$target" -max_total_time="${FUZZ_SECONDS:-45}" -rss_limit_mb=2048 \
    -artifact_prefix="$dir/crash-$target-" "$scratch/$target" "fuzz/corpus/$target" \
    2>"$scratch/$target.log" || { tail -40 "$scratch/$target.log"; exit 1; }
  echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second' "$scratch/$target.log")"
done
