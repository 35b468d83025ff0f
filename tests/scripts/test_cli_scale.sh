#!/usr/bin/env bash
# vernalith-export's --scale-x and --scale-y: a PDF for a printer known to print off size has
# its card outline scaled about the card's top-left corner, read back from the PDF; percentages
# outside 95 to 105 and a scale on a DXF or dial file are refused without leaving a file.
#   bash test_cli_scale.sh BUILD_DIR
set -uo pipefail

build=${1:?usage: test_cli_scale.sh BUILD_DIR}
tool="$build/src/cli/vernalith-export"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
command -v pdftocairo >/dev/null || { echo "FAIL: pdftocairo (poppler-utils) is not installed"; exit 1; }

printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 '[Arcs]' 20 22 '' >"$work/card.vlt"

# The outline's size and its corner's distance from the page's top-left corner, in mm.
measure() {
    pdftocairo -svg "$1" "$work/page.svg" && /usr/bin/python3 - "$work/page.svg" <<'PYTHON'
import re, sys
import xml.etree.ElementTree as ET
PT = 25.4 / 72
root = ET.parse(sys.argv[1]).getroot()
best = None
for node in root.iter():
    d = node.get("d") if node.tag.endswith("path") else None
    if not d or re.search(r"[CcQqAa]", d):
        continue
    nums = [float(v) for v in re.findall(r"-?[\d.]+(?:e-?\d+)?", d)]
    pts = list(zip(nums[0::2], nums[1::2]))
    if len(pts) < 4:
        continue
    a, b, c, d_, e, f = [float(v) for v in re.findall(r"-?[\d.]+(?:e-?\d+)?", node.get("transform", "matrix(1 0 0 1 0 0)"))]
    pts = [(a * x + c * y + e, b * x + d_ * y + f) for x, y in pts]
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    w, h = (max(xs) - min(xs)) * PT, (max(ys) - min(ys)) * PT
    if best is None or w * h > best[0] * best[1]:
        best = (w, h, min(xs) * PT, min(ys) * PT)
print("%.3f %.3f %.3f %.3f" % best)
PYTHON
}

# case: PCT-X PCT-Y expected width, height
while read -r sx sy want_w want_h; do
    out="$work/scaled-$sx-$sy.pdf"
    if ! "$tool" --scale-x "$sx" --scale-y "$sy" "$work/card.vlt" "$out" 2>"$work/err"; then
        fail "--scale-x $sx --scale-y $sy: $(cat "$work/err")"
        continue
    fi
    read -r w h x y < <(measure "$out")
    if python3 -c "import sys; sys.exit(0 if abs($w-$want_w) <= 0.05 and abs($h-$want_h) <= 0.05 and abs($x-10) <= 0.05 and abs($y-10) <= 0.05 else 1)"; then
        pass "--scale-x $sx --scale-y $sy: outline $w x $h mm at $x, $y mm"
    else
        fail "--scale-x $sx --scale-y $sy: outline $w x $h mm at $x, $y mm, not $want_w x $want_h at 10, 10"
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

[[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
