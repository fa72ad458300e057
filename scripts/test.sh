#!/usr/bin/env bash
# Builds and runs every test (SANITIZE=1: under AddressSanitizer and UBSan).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
dir=build
[ "${SANITIZE:-0}" = 1 ] && dir=build-sanitize
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$dir"
ctest --output-on-failure -j "$(nproc)" "$@"
