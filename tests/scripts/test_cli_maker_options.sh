#!/usr/bin/env bash
# vernalith-export's --text-outlines and --crop-marks: listed in --help, refused (status 2, no
# file) for formats they do not apply to, and a PDF with both holds no font.
#   bash test_cli_maker_options.sh BUILD_DIR
set -uo pipefail

build=${1:?usage: test_cli_maker_options.sh BUILD_DIR}
tool="$build/src/cli/vernalith-export"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 '[Labels]' $'26\t40\tmA\t8' '' >"$work/card.vlt"

"$tool" --help >"$work/help"
grep -q -- '--text-outlines' "$work/help" && grep -q -- '--crop-marks' "$work/help" \
    && pass "--help lists both options" || fail "--help lacks the new options"

while IFS='|' read -r options output; do
    "$tool" $options "$work/card.vlt" "$work/$output" 2>"$work/err"
    status=$?
    [ "$status" = 2 ] && [ ! -e "$work/$output" ] && grep -q 'only' "$work/err" \
        && pass "$options refused for $output" || fail "$options $output: status $status, $(cat "$work/err")"
done <<'CASES'
--crop-marks|card.svg
--crop-marks|card.dxf
--crop-marks|card.png
--text-outlines|card.png
--text-outlines|copy.vlt
CASES

if "$tool" --text-outlines --crop-marks "$work/card.vlt" "$work/card.pdf"; then
    fonts=$(pdffonts "$work/card.pdf" | tail -n +3 | wc -l)
    [ "$fonts" = 0 ] && pass "PDF with outlines has no font" || fail "PDF still has $fonts fonts"
else
    fail "PDF with both options failed"
fi

[ "$failures" = 0 ] || exit 1
