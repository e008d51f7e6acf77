#!/usr/bin/env bash
# Sets up the machine, builds the game and starts it. Extra arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
exec "${FLIMBS_BUILD_DIR:-build}/Bin/FlimbsGame" "$@"
