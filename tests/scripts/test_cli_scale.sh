#!/usr/bin/env bash
# vernalith-export's --scale-x and --scale-y: a PDF for a printer known to print off size has
# its card outline scaled about the card's top-left corner, read back from the PDF; percentages
# outside 95 to 105 and a scale on a DXF or dial file are refused without leaving a file.
#   bash test_cli_scale.sh BUILD_DIR
set -uo pipefail

build=${1:?usage: test_cli_scale.sh BUILD_DIR}
tool="$build/src/cli/vernalith-export"
source "$(dirname "$0")/checks.sh"
need pdftocairo poppler-utils

printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 '[Arcs]' 20 22 '' >"$work/card.vlt"

# case: PCT-X PCT-Y expected width, height
while read -r sx sy want_w want_h; do
    out="$work/scaled-$sx-$sy.pdf"
    if ! "$tool" --scale-x "$sx" --scale-y "$sy" "$work/card.vlt" "$out" 2>"$work/err"; then
        fail "--scale-x $sx --scale-y $sy: $(cat "$work/err")"
        continue
    fi
    pdftocairo -svg "$out" "$work/page.svg"
    if /usr/bin/python3 "$(dirname "$0")/measure_page.py" card "$work/page.svg" page "$want_w" "$want_h" 10 10 >"$work/measured" 2>&1; then
        pass "--scale-x $sx --scale-y $sy: $(cat "$work/measured")"
    else
        fail "--scale-x $sx --scale-y $sy: $(cat "$work/measured")"
    fi
done <<'CASES'
100 100 52 45
102 98 53.04 44.1
95 105 49.4 47.25
CASES

# Refused: exit status, and no file left.
while read -r status output args; do
    # shellcheck disable=SC2086
    "$tool" $args "$work/card.vlt" "$work/$output" 2>"$work/err"
    rc=$?
    if [[ $rc -eq $status && ! -e $work/$output && $(wc -l <"$work/err") -eq 1 ]]; then
        pass "$args $output: exit $rc, $(cat "$work/err")"
    else
        fail "$args $output: exit $rc (expected $status), file left: $([[ -e $work/$output ]] && echo yes || echo no), stderr: $(cat "$work/err")"
    fi
    rm -f "$work/$output"
done <<'CASES'
2 a.pdf --scale-x 94.9
2 a.pdf --scale-y 105.1
2 a.pdf --scale-x abc
2 a.pdf --scale-y
1 a.dxf --scale-x 101
1 a.vlt --scale-y 99
CASES
"$tool" --scale-x 100 "$work/card.vlt" "$work/plain.dxf" 2>"$work/err" && pass "a DXF at 100 %" || fail "a DXF at 100 %: $(cat "$work/err")"

finish
