#!/usr/bin/env bash
# Configures and builds the game folder in ./build (or $FLIMBS_BUILD_DIR); extra arguments go
# to cmake. CC and CXX choose the compiler of a new build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${FLIMBS_BUILD_DIR:-build}"

# The compiler cache serves every clone of the project: paths below the clone's root count
# as relative, the working folder is not hashed, and the cache holds both builds.
export CCACHE_BASEDIR="$PWD"
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}"

# A build folder made by another compiler is configured anew.
if [ -n "${CXX:-}" ] && [ -f "$BUILD_DIR/CMakeCache.txt" ] &&
   ! grep -q "^CMAKE_CXX_COMPILER:[A-Z]*=.*$(basename "$CXX")\$" "$BUILD_DIR/CMakeCache.txt"; then
  rm -rf "$BUILD_DIR/CMakeCache.txt" "$BUILD_DIR/CMakeFiles"
fi

GENERATOR=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$BUILD_DIR/Makefile" ]; then GENERATOR=(-G Ninja); fi
cmake -S . -B "$BUILD_DIR" "${GENERATOR[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
