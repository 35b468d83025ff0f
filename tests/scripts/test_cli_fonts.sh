#!/usr/bin/env bash
# vernalith-export and a Font cell naming a face that is not installed: the card is still written
# and the exit is 0, with one warning line; an installed face gives no line.   bash test_cli_fonts.sh BUILD_DIR
set -uo pipefail
build=${1:?usage: test_cli_fonts.sh BUILD_DIR}
source "$(dirname "$0")/checks.sh"
for face in "No Such Face" "DejaVu Serif"; do
    sed "s/No Such Face/$face/" "$(dirname "$0")/../data/bands-holes.vlt" >"$work/card.vlt"
    env -u DISPLAY -u QT_QPA_PLATFORM "$build/src/cli/vernalith-export" "$work/card.vlt" "$work/$face.png" 2>"$work/err"
    rc=$?
    expected=""
    [ "$face" = "No Such Face" ] && expected='vernalith-export: warning: Font "No Such Face" is not installed; DejaVu Sans is used instead'
    if [ "$rc" -ne 0 ] || [ "$(cat "$work/err")" != "$expected" ] || [ ! -s "$work/$face.png" ]; then
        fail "face \"$face\": exit $rc, stderr: $(cat "$work/err")"
    else
        pass "face \"$face\""
    fi
done
finish
