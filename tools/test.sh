#!/usr/bin/env bash
# Sets up the machine, then builds and tests twice: the game built by g++, and the same
# suite built by clang under AddressSanitizer and UBSan (halting on the first error), whose
# build also makes the fuzz targets; then the fuzzers run briefly. Each step's time is
# printed at the end with the compiler cache's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null

TIMES=()
timed() {
  local name="$1" start=$SECONDS
  shift
  "$@"
  TIMES+=("$(printf '%-22s %5d s' "$name" $((SECONDS - start)))")
}
report() {
  printf '%s\n' "test.sh: time per step" "${TIMES[@]}"
  # The size shown is the one tools/build.sh compiles with.
  if command -v ccache >/dev/null 2>&1; then CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}" ccache -s; fi
}
# The figures are printed however the command ends.
trap report EXIT
run_tests() {
  ctest --test-dir "$1" --output-on-failure --parallel "$(nproc)" --timeout 900
}

timed "set-up" bash tools/setup.sh

# The test command's builds carry no debug information beyond line tables (sanitizer
# reports) and compile in unity batches; a developer's own build keeps its settings.
BUILD_DIR="${FLIMBS_BUILD_DIR:-build}"
timed "build (g++)" env FLIMBS_BUILD_DIR="$BUILD_DIR" bash tools/build.sh -DFLIMBS_UNITY=ON -DFLIMBS_DEBUG_INFO=-g0 -DFLIMBS_TEST_OPTIMIZE=-O1
timed "tests (g++)" run_tests "$BUILD_DIR"

# Leaks inside system libraries are listed in tools/sanitizer/lsan.supp.
SANITIZE_DIR="${FLIMBS_SANITIZE_BUILD_DIR:-build-asan}"
CC_BIN="$(command -v clang-14 || command -v clang)"
CXX_BIN="$(command -v clang++-14 || command -v clang++)"
timed "build (clang, asan)" env CC="$CC_BIN" CXX="$CXX_BIN" FLIMBS_BUILD_DIR="$SANITIZE_DIR" bash tools/build.sh \
  -DFLIMBS_SANITIZE=ON -DFLIMBS_FUZZ=ON -DFLIMBS_BUILD_BENCH=OFF -DFLIMBS_UNITY=ON \
  -DFLIMBS_OPTIMIZE=-O1 -DFLIMBS_DEBUG_INFO=-g1 -DFLIMBS_TEST_OPTIMIZE=-O0
timed "tests (clang, asan)" run_tests "$SANITIZE_DIR"
timed "fuzzing" env FLIMBS_SANITIZE_BUILD_DIR="$SANITIZE_DIR" bash tools/fuzz.sh

