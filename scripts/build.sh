#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with SANITIZE=1).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=build
flags=(-DTANDU_WERROR=ON)
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=build-sanitize
  flags+=(-DTANDU_SANITIZE=ON)
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir"
