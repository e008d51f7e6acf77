#!/usr/bin/env bash
# Records every sample level's solution again from its script (tools/solutionrec/scripts/),
# through the game session, into data/game/Level/Solutions/, and rewrites the solution list;
# then the FlimbMaster's recordings of the Multiverse sample levels from theirs
# (tools/solutionrec/battles/<level>[-m|-h].txt) into data/game/Level/Battles/fm_<...>.flimbs.
#   tools/solutionrec/record_all.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
cmake --build "$build" --parallel 3 --target solutionrec flimbs_data
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
list=tools/solutionrec/solutions.txt
{
    echo '# The stored solutions the test command replays: "<playback> <updates> <state hash>".'
    echo '# tools/solutionrec/record_all.sh records them again and rewrites this list; a change to the'
    echo '# simulation that alters a hash on purpose re-records them in the same commit.'
} > "$list.new"
for script in tools/solutionrec/scripts/*.txt; do
    level="$(basename "$script" .txt)"
    out="$PWD/data/game/Level/Solutions/$level.flimbs"
    FLIMBS_HOME="$home" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null \
        "$build/Bin/solutionrec" "$level" "$script" "$out" | tee "$home/out.txt"
    grep '^Level\\Solutions\\' "$home/out.txt" >> "$list.new"
done
mv "$list.new" "$list"
for script in tools/solutionrec/battles/*.txt; do
    name="$(basename "$script" .txt)"
    level="${name%-[mh]}"
    out="$PWD/data/game/Level/Battles/fm_$name.flimbs"
    FLIMBS_HOME="$home" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null \
        "$build/Bin/solutionrec" "$level" "$script" "$out"
done
