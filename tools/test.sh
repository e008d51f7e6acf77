#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
BUILD_DIR="${FLIMBS_BUILD_DIR:-build}"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)" --timeout 600

# The same suite once more under AddressSanitizer and UBSan, halting on the first error.
# Leaks inside system libraries are listed in tools/sanitizer/lsan.supp.
SANITIZE_DIR="${FLIMBS_SANITIZE_BUILD_DIR:-build-asan}"
FLIMBS_BUILD_DIR="$SANITIZE_DIR" bash tools/build.sh -DFLIMBS_SANITIZE=ON -DFLIMBS_BUILD_BENCH=OFF
ctest --test-dir "$SANITIZE_DIR" --output-on-failure --parallel "$(nproc)" --timeout 600
if [ -x tools/fuzz.sh ]; then bash tools/fuzz.sh; fi
