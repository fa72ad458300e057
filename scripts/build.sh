#!/usr/bin/env bash
# Configures and builds into build/ (build-sanitize/ with SANITIZE=1, a -clang
# folder with CLANG=1, a -release one with BUILD_TYPE=Release). Warnings are
# errors here, not in a plain cmake build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
source scripts/build-dir.sh
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir"
