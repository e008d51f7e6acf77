#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own folder and runs each one briefly on
# a seed corpus made here. Fails when a target finds a crash, leak or time-out.
#   FLIMBS_FUZZ_BUILD_DIR (default build-fuzz), FLIMBS_FUZZ_SECONDS (default 25 per target)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${FLIMBS_FUZZ_BUILD_DIR:-build-fuzz}"
SECONDS_PER_TARGET="${FLIMBS_FUZZ_SECONDS:-25}"

CC_BIN="$(command -v clang-14 || command -v clang || true)"
CXX_BIN="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$CC_BIN" ] || [ -z "$CXX_BIN" ]; then
  echo "fuzz.sh: clang is not installed (tools/setup.sh installs it)" >&2
  exit 1
fi

GENERATOR=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$BUILD_DIR/Makefile" ]; then GENERATOR=(-G Ninja); fi
cmake -S tests/fuzz -B "$BUILD_DIR" "${GENERATOR[@]}" \
  -DCMAKE_C_COMPILER="$CC_BIN" -DCMAKE_CXX_COMPILER="$CXX_BIN" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

SEEDS="$BUILD_DIR/seeds"
rm -rf "$SEEDS"
mkdir -p "$SEEDS/archive" "$SEEDS/xml" "$SEEDS/video"

# Archives: empty, one entry, two entries (the second at an odd offset), a folder marker.
printf '\x00\x00\x00\x00' >"$SEEDS/archive/empty"
printf '\x01\x00\x00\x00''\x00\x00\x00\x00''\x05\x00\x00\x00''\x86\xa6\x10\x36''\x00\x00\x00\x00''\x00\x00''\x05\x00''a.txt''hello' \
  >"$SEEDS/archive/one"
printf '\x02\x00\x00\x00''\x00\x00\x00\x00''\x03\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00''\x07\x00''Data\\x1' \
  >"$SEEDS/archive/two"
printf '\x03\x00\x00\x00''\x02\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00''\x08\x00''Sub\\b.gz''abcdefg' \
  >>"$SEEDS/archive/two"
printf '\x01\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00''\x04\x00''Sub\\' \
  >"$SEEDS/archive/marker"

# XML: a hashed level, the same gzip-compressed, a tree with searches, a comment-first root.
LEVEL='<flimbs-level hash="43FF92B54B3781434CD7B099D3782D3"><debug>d</debug><a k="v">t</a></flimbs-level>'
printf '%s' "$LEVEL" >"$SEEDS/xml/level.xml"
printf '%s' "$LEVEL" | gzip -9 -c >"$SEEDS/xml/level.gz"
printf '%s' '<?xml version="1.0"?><flimbs-level><globals><title>T &amp; U</title></globals><traps><trap><x>5</x></trap><TRAP><x>-1</x></TRAP></traps><groups><group id="1" available_group="yes"/></groups></flimbs-level>' \
  >"$SEEDS/xml/traps.xml"
printf '%s' '<r><!--c--><debug><a hash="x"/></debug><![CDATA[z]]></r>' >"$SEEDS/xml/comment.xml"

# Video: a small clip with sound, one without, one cut in half.
"$BUILD_DIR/video_seeds" "$SEEDS/video"

mkdir -p "$BUILD_DIR/artifacts"
run_target() {
  local target="$1" corpus="$2"
  local work="$BUILD_DIR/corpus-$target"
  mkdir -p "$work"
  echo "fuzz.sh: running $target for ${SECONDS_PER_TARGET}s"
  mkdir -p "$BUILD_DIR/home"
  FLIMBS_HOME="$(cd "$BUILD_DIR/home" && pwd)" ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
    "$BUILD_DIR/$target" "$work" "$corpus" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
      -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$BUILD_DIR/artifacts/$target-" >"$BUILD_DIR/$target.log" 2>&1 || {
    echo "fuzz.sh: $target found a fault; see $BUILD_DIR/$target.log and $BUILD_DIR/artifacts/" >&2
    tail -40 "$BUILD_DIR/$target.log" >&2
    return 1
  }
  grep -E "^stat::number_of_executed_units" "$BUILD_DIR/$target.log" || true
}

run_target fuzz_archive "$SEEDS/archive"
run_target fuzz_xml "$SEEDS/xml"
run_target fuzz_video "$SEEDS/video"
echo "fuzz.sh: no findings"
