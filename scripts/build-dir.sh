# Sourced by build.sh and test.sh: the build folder and configure flags for
# SANITIZE=1, CLANG=1, BUILD_TYPE=... and WERROR=OFF (build/ when none is set).
dir=build
flags=(-DTANDU_WERROR="${WERROR:-ON}")
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=$dir-sanitize
  flags+=(-DTANDU_SANITIZE=ON)
fi
if [ "${CLANG:-0}" = 1 ]; then
  dir=$dir-clang
  export CC=clang CXX=clang++
fi
if [ -n "${BUILD_TYPE:-}" ]; then
  dir=$dir-${BUILD_TYPE,,}
  flags+=(-DCMAKE_BUILD_TYPE="$BUILD_TYPE")
fi
