#!/usr/bin/env bash
# Configures and builds into build/ (build-sanitize/ with SANITIZE=1, a -clang
# folder with CLANG=1, a -release one with BUILD_TYPE=Release). Warnings are
# errors here, not in a plain cmake build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
source scripts/build-dir.sh
# A compiler cache keyed on paths below the checkout: a fresh clone (as CI
# makes) builds from what an earlier clone already compiled.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir"
