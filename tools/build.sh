#!/usr/bin/env bash
# Configures and builds the game folder in ./build (or $FLIMBS_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${FLIMBS_BUILD_DIR:-build}"
GENERATOR=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$BUILD_DIR/Makefile" ]; then GENERATOR=(-G Ninja); fi
cmake -S . -B "$BUILD_DIR" "${GENERATOR[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
