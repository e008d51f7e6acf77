#!/usr/bin/env bash
# Plays the sample levels headless and checks each one's outcome; a second process must
# print the same text (the same hashes).
set -euo pipefail
levelrun="$1"
fail=0
expect() {
    local level="$1" pattern="$2" first second
    first="$("$levelrun" "Level\\$level.flevel" --updates 3000)"
    second="$("$levelrun" "Level\\$level.flevel" --updates 3000)"
    if ! grep -Eq "$pattern" <<<"$first"; then
        echo "$level: no line matching '$pattern' in:"; echo "$first"; fail=1
    fi
    if [ "$first" != "$second" ]; then
        echo "$level: two runs differ"; diff <(echo "$first") <(echo "$second") || true; fail=1
    fi
}
expect s_dm_first_steps 'saved=([5-9]|[1-9][0-9]+) result=win'
expect s_dm_exit_limit 'saved=3 result=win'
expect s_dm_waypoints 'result=loss'
exit "$fail"
