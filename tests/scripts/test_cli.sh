#!/usr/bin/env bash
# vernalith-export as a user runs it: formats by extension, exit codes 0/1/2, one-line messages
# on standard error, and no output file left behind by a failure. Runs without a display.
#   bash test_cli.sh BUILD_DIR [full-disk]
# With "full-disk" only the full-disk checks run; the script runs itself so in a user namespace
# when it is not run as root.
set -uo pipefail

build=${1:?usage: test_cli.sh BUILD_DIR}
only=${2:-}
tool="$build/src/cli/vernalith-export"
source "$(dirname "$0")/checks.sh"

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

# A card with many strokes: its SVG and DXF are far larger than 64 KiB.
sed $'s/^50\t22\t21\t/4000\t22\t21\t/' "$work/worked.vlt" >"$work/large.vlt"

# A full file system: exit 1 with the system's reason on one line, the earlier file as it was
# and no temporary file beside it, whether the disk is full from the start or fills up during
# the write. Needs root, of the machine or of a user namespace, to mount a small tmpfs.
full_disk_checks() {
    local disk="$work/disk" ext
    mkdir -p "$disk"
    if ! mount -t tmpfs -o size=64k tmpfs "$disk"; then
        fail "cannot mount a tmpfs for the full-disk checks"
        return
    fi
    for ext in pdf svg png dxf vlt; do printf 'earlier %s\n' "$ext" >"$disk/card.$ext"; done
    for ext in svg dxf; do
        run "$work/large.vlt" "$disk/card.$ext"
        expect 1 "filling up during a .$ext export"
        expect_one_error_line "Cannot write .*card\\.$ext: No space left on device$" "filling up during a .$ext export"
    done
    dd if=/dev/zero of="$disk/filler" bs=4k 2>/dev/null
    for ext in pdf svg png dxf vlt; do
        run "$work/worked.vlt" "$disk/card.$ext"
        expect 1 ".$ext export to a full disk"
        expect_one_error_line ".*card\\.$ext: No space left on device$" ".$ext export to a full disk"
    done
    for ext in pdf svg png dxf vlt; do
        [ "$(cat "$disk/card.$ext")" = "earlier $ext" ] && pass "earlier .$ext kept" || fail "earlier .$ext changed"
    done
    rm -f "$disk/filler"
    [ "$(ls -A "$disk" | tr '\n' ' ')" = "card.dxf card.pdf card.png card.svg card.vlt " ] \
        && pass "no temporary file left on the full disk" || fail "left on the full disk: $(ls -A "$disk")"
    umount "$disk"
}

if [ "$only" = full-disk ]; then
    full_disk_checks
    finish
    exit
fi

# --- help
run --help
expect 0 "--help"
grep -q '^Usage: vernalith-export \[--page a4|letter|card\] \[--dpi N\]' "$work/out" \
    && pass "--help shows the usage" || fail "--help output: $(head -3 "$work/out")"
grep -q -- '--dpi N' "$work/out" && grep -q '\.dxf' "$work/out" && grep -q 'exit status' "$work/out" \
    && pass "--help documents options, formats and exit codes" || fail "--help lacks details"
run --version
expect 0 "--version"
[ "$(cat "$work/out")" = "vernalith-export 1.00" ] && pass "--version names the program and its version" \
    || fail "--version output: $(head -3 "$work/out")"

# --- every format, named as users type them: the extension and the page name in any case
mkdir "$work/ok"
for name in Card.PDF:%PDF- card.svg:'<svg ' Card.pNg:PNG card.DXF:AC1015 Card.Vlt:'[Vernalith1.0]'; do
    run "$work/worked.vlt" "$work/ok/${name%%:*}"
    expect 0 "export to ${name%%:*}"
    [ -s "$work/err" ] && fail "${name%%:*} wrote to stderr: $(cat "$work/err")"
    grep -aqF -- "${name#*:}" "$work/ok/${name%%:*}" && pass "${name%%:*} is ${name#*:}" || fail "${name%%:*} is not ${name#*:}"
done
cmp -s "$work/worked.vlt" "$work/ok/Card.Vlt" && pass ".vlt written as Save writes it" || fail ".vlt differs from the input"
for page in "A4:595 x 842" "Letter:612 x 792" "CARD:204 x 184"; do
    run --page "${page%%:*}" "$work/worked.vlt" "$work/ok/page.pdf"
    expect 0 "--page ${page%%:*}"
    pdfinfo "$work/ok/page.pdf" | grep -Eq "^Page size: +${page#*:} pts" && pass "--page ${page%%:*} page size" \
        || fail "--page ${page%%:*}: $(pdfinfo "$work/ok/page.pdf" | grep 'Page size')"
done

# --- options: the PDF page (A4, the default, is measured in test_exports) and the PNG resolution
run --page=letter "$work/worked.vlt" "$work/ok/letter.pdf"
expect 0 "--page=letter"
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

# --- a full disk
if [ "$(id -u)" -eq 0 ]; then
    full_disk_checks
elif unshare --user --map-root-user --mount true 2>/dev/null; then
    unshare --user --map-root-user --mount bash "${BASH_SOURCE[0]}" "$build" full-disk || failures=$((failures + 1))
else
    echo "SKIP: full-disk checks: not root and no user namespace to mount a tmpfs in"
fi

# --- only regular files are replaced; a link to one replaces the file it leads to
mkdir "$work/nodes"
mkfifo "$work/nodes/fifo.svg"
mkdir "$work/nodes/folder.svg"
ln -s /dev/full "$work/nodes/full.svg"
ln -s /dev/null "$work/nodes/null.pdf"
ln -s "$work/nodes/folder.svg" "$work/nodes/folderlink.dxf"
/usr/bin/python3 -c 'import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$work/nodes/socket.png"
node_cases=("fifo.svg|a FIFO|p" "folder.svg|a folder|d" "full.svg|a device|c" "null.pdf|a device|c"
            "folderlink.dxf|a folder|d" "socket.png|a socket|S")
for case in "${node_cases[@]}"; do
    IFS='|' read -r name kind test_flag <<<"$case"
    rc=0
    timeout 60 env -u DISPLAY -u QT_QPA_PLATFORM "$tool" "$work/worked.vlt" "$work/nodes/$name" >"$work/out" 2>"$work/err" || rc=$?
    expect 1 "output $name"
    expect_one_error_line "Cannot write .*$name: it is $kind; only regular files are replaced$" "output $name"
    [ -"$test_flag" "$work/nodes/$name" ] && pass "$name is still $kind" || fail "$name was replaced"
done
[ -c /dev/full ] && [ -c /dev/null ] && pass "devices untouched" || fail "a device node was replaced"
printf 'earlier\n' >"$work/nodes/target.svg"
ln -s target.svg "$work/nodes/link.svg"
run "$work/worked.vlt" "$work/nodes/link.svg"
expect 0 "output through a link to a regular file"
[ -L "$work/nodes/link.svg" ] && grep -q '<svg ' "$work/nodes/target.svg" \
    && pass "the link stays and its file is replaced" || fail "link or its file wrong"

# --- the exporter never needs a window system, whatever the environment asks for
for platform in xcb wayland; do
    rc=0
    env QT_QPA_PLATFORM=$platform DISPLAY=:1999 WAYLAND_DISPLAY=none "$tool" "$work/worked.vlt" "$work/ok/$platform.pdf" \
        >"$work/out" 2>"$work/err" || rc=$?
    expect 0 "QT_QPA_PLATFORM=$platform with no display"
    [ -s "$work/err" ] && fail "QT_QPA_PLATFORM=$platform wrote to stderr: $(cat "$work/err")"
    [ -s "$work/ok/$platform.pdf" ] || fail "QT_QPA_PLATFORM=$platform wrote no PDF"
done

# --- file names that are not UTF-8 are refused, never read or written under another name
mkdir "$work/names"
cp "$work/worked.vlt" "$work/names/caf"$'\xe9'".vlt"
for case in "caf"$'\xe9'".vlt|plain.svg" "plain.vlt|caf"$'\xe9'".svg"; do
    IFS='|' read -r input output <<<"$case"
    cp "$work/worked.vlt" "$work/names/plain.vlt"
    before=$(ls -A "$work/names" | od -c)
    rc=0
    (cd "$work/names" && LC_ALL=C.UTF-8 env -u DISPLAY "$tool" "$input" "$output" >"$work/out" 2>"$work/err") || rc=$?
    label="non-UTF-8 name $(printf '%q' "$input") -> $(printf '%q' "$output")"
    expect 1 "$label"
    expect_one_error_line 'cannot use the file name ".*": it is not valid UTF-8' "$label"
    [ "$(ls -A "$work/names" | od -c)" = "$before" ] && pass "$label: nothing written" || fail "$label: wrote $(ls -A "$work/names")"
done

# --- a card larger than the page is refused, not cut off; --page card fits it
sed $'s/^52\r$/400\r/' "$work/worked.vlt" >"$work/wide.vlt"
for page in a4 letter; do
    run --page $page "$work/wide.vlt" "$work/f/wide.pdf"
    expect 1 "400 mm card on --page $page"
    expect_one_error_line "The card \\(400 x 45 mm\\) does not fit on the (A4|US Letter) page .*; use --page card" \
        "400 mm card on --page $page"
done
expect_no_file "$work/f" "card larger than the page"
run --page card "$work/wide.vlt" "$work/ok/wide.pdf"
expect 0 "400 mm card on --page card"

# --- a design over the drawing budget is refused at once, whatever the format
{
    printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 '[Arcs]' 22 '[Tickmarks]'
    for _ in $(seq 123); do printf '32766\t22\t21\t\r\n'; done
    printf '%s\r\n' '[Digits]' $'0\t0\t1\t0\t24\t6\t' '[Labels]' $'1\t1\tx\t8\t' ''
} >"$work/budget.vlt"
for ext in pdf svg png dxf; do
    run "$work/budget.vlt" "$work/f/budget.$ext"
    expect 1 "over the budget to .$ext"
    expect_one_error_line 'The card would draw 4,030,346 lines, arcs and texts, more than the 4,000,000 that can be drawn$' \
        "over the budget to .$ext"
done
expect_no_file "$work/f" "over the budget"

# --- out of memory ends with one line and exit 1, never an abort, and leaves nothing
{
    printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 '[Arcs]' 22 '[Tickmarks]'
    for _ in $(seq 120); do printf '32766\t22\t21\t\r\n'; done
    printf '%s\r\n' '[Digits]' $'0\t0\t1\t0\t24\t6\t' '[Labels]' $'1\t1\tx\t8\t' ''
} >"$work/heavy.vlt"
# grep reads all of ldd's output: with -q it could stop early and, under pipefail, fail the test on SIGPIPE.
if ldd "$tool" 2>/dev/null | grep -E 'lib(asan|tsan|msan)' >/dev/null; then
    echo "SKIP: out-of-memory check: a sanitizer build cannot run under a memory limit"
else
    # 200 MB of address space: enough to start and draw, not for a PDF page of 3.9 million strokes.
    rc=0
    (ulimit -v 200000 && env -u DISPLAY "$tool" "$work/heavy.vlt" "$work/f/heavy.pdf") >"$work/out" 2>"$work/err" || rc=$?
    expect 1 "out of memory"
    expect_one_error_line '[Nn]ot enough memory( to (draw|write) the card)?$' "out of memory"
    expect_no_file "$work/f" "out of memory"
fi

finish
