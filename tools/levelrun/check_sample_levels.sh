#!/usr/bin/env bash
# Plays the sample levels headless and checks each one's outcome; a second process must
# print the same text (the same hashes). Leaves first_steps_300.png in the working folder:
# the first level after 300 updates (tank, walking flimbs, the exit's number).
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
expect s_dm_scripted_door 'result=win'
expect s_dm_scenery 'saved=10 result=win'
if ! "$levelrun" 'Level\s_dm_first_steps.flevel' --updates 300 --picture first_steps_300.png >/dev/null ||
    [ ! -s first_steps_300.png ]; then
    echo "no picture written"; fail=1
fi
exit "$fail"
