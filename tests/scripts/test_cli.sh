#!/usr/bin/env bash
# vernalith-export as a user runs it: formats by extension, exit codes 0/1/2, one-line messages
# on standard error, and no output file left behind by a failure. Runs without a display.
#   bash test_cli.sh BUILD_DIR
set -uo pipefail

build=${1:?usage: test_cli.sh BUILD_DIR}
tool="$build/src/cli/vernalith-export"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Runs the tool with no display and no platform chosen; leaves the exit code in $rc, the
# outputs in $work/out and $work/err.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tool" "$@" >"$work/out" 2>"$work/err"
    rc=$?
}

expect() { # expect CODE DESCRIPTION
    if [ "$rc" -eq "$1" ]; then pass "$2 (exit $rc)"; else fail "$2: exit $rc, expected $1; stderr: $(cat "$work/err")"; fi
}

expect_one_error_line() { # expect_one_error_line PATTERN DESCRIPTION
    local lines
    lines=$(wc -l <"$work/err")
    if [ "$lines" -ne 1 ]; then
        fail "$2: $lines lines on stderr: $(cat "$work/err")"
    elif ! grep -Eq "^vernalith-export: $1" "$work/err"; then
        fail "$2: stderr was: $(cat "$work/err")"
    else
        pass "$2: $(cat "$work/err")"
    fi
}

expect_no_file() { # expect_no_file DIR DESCRIPTION
    if [ -n "$(ls -A "$1")" ]; then fail "$2: left $(ls -A "$1")"; else pass "$2: nothing left"; fi
}

[ -x "$tool" ] || { echo "FAIL: $tool was not built"; exit 1; }

# The dial file format's worked example, as Save writes it (CR LF).
printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 '[Arcs]' 22 20 '[Tickmarks]' \
    $'50\t22\t21\t' $'10\t22\t20\t' '[Digits]' $'5\t0\t100\t0\t24\t6\t' '[Labels]' $'26\t40\tmA\t8\t' '' \
    >"$work/worked.vlt"
sed $'s/^5\t0\t100/40000\t0\t100/' "$work/worked.vlt" >"$work/undrawable.vlt"
printf 'Vernalith1.0\r\n[Dimensions]\r\n' >"$work/wrong.vlt"

# --- help
run --help
expect 0 "--help"
grep -q '^Usage: vernalith-export \[--page a4|letter|card\] \[--dpi N\] INPUT.vlt OUTPUT' "$work/out" \
    && pass "--help shows the usage" || fail "--help output: $(head -3 "$work/out")"
grep -q -- '--dpi N' "$work/out" && grep -q '\.dxf' "$work/out" && grep -q 'exit status' "$work/out" \
    && pass "--help documents options, formats and exit codes" || fail "--help lacks details"
run --version
expect 0 "--version"
[ "$(cat "$work/out")" = "vernalith-export 1.00" ] && pass "--version names the program and its version" \
    || fail "--version output: $(head -3 "$work/out")"

# --- every format
mkdir "$work/ok"
for ext in pdf svg png dxf vlt; do
    run "$work/worked.vlt" "$work/ok/card.$ext"
    expect 0 "export to .$ext"
    [ -s "$work/ok/card.$ext" ] || fail ".$ext output missing or empty"
    [ -s "$work/err" ] && fail ".$ext wrote to stderr: $(cat "$work/err")"
done
head -c 5 "$work/ok/card.pdf" | grep -q '%PDF-' && pass "PDF signature" || fail "not a PDF"
grep -q '<svg ' "$work/ok/card.svg" && pass "SVG element" || fail "not an SVG"
head -c 8 "$work/ok/card.png" | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a' && pass "PNG signature" || fail "not a PNG"
grep -q 'AC1015' "$work/ok/card.dxf" && pass "DXF version" || fail "DXF header"
cmp -s "$work/worked.vlt" "$work/ok/card.vlt" && pass ".vlt written as Save writes it" || fail ".vlt differs from the input"

# --- options: the PDF page (A4, the default, is measured in test_exports) and the PNG resolution
run --page card "$work/worked.vlt" "$work/ok/cardpage.pdf"
expect 0 "--page card"
pdfinfo "$work/ok/cardpage.pdf" | grep -Eq '^Page size: +204 x 184 pts' \
    && pass "card page is 72 x 65 mm in whole points" || fail "card page: $(pdfinfo "$work/ok/cardpage.pdf" | grep 'Page size')"
run --page=letter "$work/worked.vlt" "$work/ok/letter.pdf"
expect 0 "--page=letter"
pdfinfo "$work/ok/letter.pdf" | grep -Eq '^Page size: +612 x 792 pts' && pass "letter page" || fail "letter page size"
run --dpi 300 "$work/worked.vlt" "$work/ok/300.png"
expect 0 "--dpi 300"
size=$(/usr/bin/python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); print(*struct.unpack(">II", d[16:24]))' "$work/ok/300.png")
[ "$size" = "851 768" ] && pass "300 dpi image is 72 x 65 mm" || fail "300 dpi image is $size pixels"

# --- failures: exit 1, one line, nothing left (each export's own failures are in test_exports)
mkdir "$work/f"
run "$work/wrong.vlt" "$work/f/card.pdf"
expect 1 "wrong first line"
expect_one_error_line 'Unknown file format!$' "wrong first line"
expect_no_file "$work/f" "wrong first line"

run "$work/missing.vlt" "$work/f/card.pdf"
expect 1 "missing input"
expect_one_error_line 'An error occurred while Opening the file \(.*missing\.vlt.*\)$' "missing input"
expect_no_file "$work/f" "missing input"

run "$work/undrawable.vlt" "$work/f/card.pdf"
expect 1 "Divisions 40000"
expect_one_error_line 'Scale Digits, row 1: Divisions 40000 is too large \(at most 32766\)$' "Divisions 40000"
expect_no_file "$work/f" "Divisions 40000"

# --- bad usage: exit 2, one line, nothing written
usage_cases=(
    "--frobnicate|$work/worked.vlt|$work/f/a.pdf"
    ""
    "$work/worked.vlt"
    "$work/worked.vlt|$work/f/a.pdf|$work/f/b.pdf"
    "--dpi|abc|$work/worked.vlt|$work/f/a.png"
    "--dpi|0|$work/worked.vlt|$work/f/a.png"
    "--dpi|99999|$work/worked.vlt|$work/f/a.png"
    "$work/worked.vlt|$work/f/a.png|--dpi"
    "--page|a3|$work/worked.vlt|$work/f/a.pdf"
    "$work/worked.vlt|$work/f/a.jpg"
    "$work/worked.vlt|$work/f/noextension"
)
for case in "${usage_cases[@]}"; do
    IFS='|' read -r -a args <<<"$case"
    run "${args[@]}"
    label="usage: ${case//|/ }"
    expect 2 "$label"
    expect_one_error_line '.+' "$label"
done
expect_no_file "$work/f" "bad usage"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
