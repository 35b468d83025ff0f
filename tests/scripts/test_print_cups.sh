#!/bin/bash
# Print through a real CUPS server, as the Print button does, and measure the page.
#
# 1. With no print service running, Print says "You don't have a printer set up on this machine!".
# 2. With a cupsd of our own and a cups-pdf queue as the default printer, Print on the worked
#    example gives a PDF whose card outline is 52.00 x 45.00 mm (+- 0.1 mm), 10 mm in from the
#    corner of the printable area.
#
# The program is driven through its --print-and-quit option: it loads the file, presses Print
# with the system's printers, writes any message to stderr instead of a box, and quits.
# Needs root (cupsd, lpadmin, the cups-pdf backend) and installs the Debian packages it lacks.
# Everything it changes under /etc/cups is put back, and the cupsd it started is stopped.

set -euo pipefail

BUILD_DIR=${1:?usage: test_print_cups.sh BUILD_DIR}
BIN=$BUILD_DIR/src/app/vernalith
QUEUE=VernalithTestPdf
export QT_QPA_PLATFORM=offscreen
# The printers must be this machine's, not a server named by the environment.
unset CUPS_SERVER PRINTER LPDEST

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[[ -x $BIN ]] || fail "$BIN is not built"
[[ $(id -u) -eq 0 ]] || fail "must run as root: it starts cupsd and adds a print queue"

missing=()
[[ -x /usr/sbin/cupsd ]] || missing+=(cups)
[[ -x /usr/lib/cups/backend/cups-pdf ]] || missing+=(printer-driver-cups-pdf)
command -v pdftocairo >/dev/null || missing+=(poppler-utils)
if ((${#missing[@]})); then
    echo "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q "${missing[@]}" </dev/null >/dev/null ||
        { apt-get update -q </dev/null >/dev/null && apt-get install -y -q "${missing[@]}" </dev/null >/dev/null; } ||
        fail "cannot install ${missing[*]}"
fi

if lpstat -r 2>/dev/null | grep -q 'scheduler is running'; then
    # On a CI machine a scheduler can only have been started by installing cups; stop it.
    # Elsewhere it is somebody's print service: leave it alone.
    [[ ${CI:-} == true ]] || fail "a CUPS scheduler is already running; this test needs to start and stop its own"
    echo "stopping the CUPS scheduler that installing cups started"
    /etc/init.d/cups stop >/dev/null 2>&1 || pkill -x cupsd || true
    for _ in $(seq 50); do pgrep -x cupsd >/dev/null || break; sleep 0.1; done
    pgrep -x cupsd >/dev/null && fail "cannot stop the running CUPS scheduler"
fi

WORK=$(mktemp -d /tmp/vernalith-print.XXXXXX)
OUT=$WORK/out
mkdir -p "$OUT"
chmod 755 "$WORK"
CUPSD_PID=
# Files under /etc/cups that this test changes: saved now, put back at the end.
SAVED=(/etc/cups/cups-pdf.conf /etc/cups/lpoptions /root/.cups/lpoptions)
for f in printers classes subscriptions; do
    SAVED+=(/etc/cups/$f.conf /etc/cups/$f.conf.O)
done
for f in "${SAVED[@]}"; do
    if [[ -e $f ]]; then
        mkdir -p "$WORK/saved$(dirname "$f")"
        cp -p "$f" "$WORK/saved$f"
    fi
done

cleanup() {
    set +e
    if [[ -n $CUPSD_PID ]] && kill -0 "$CUPSD_PID" 2>/dev/null; then
        lpadmin -x "$QUEUE" 2>/dev/null
        rm -f /var/cache/cups/"$QUEUE".*
        kill "$CUPSD_PID"
        for _ in $(seq 50); do kill -0 "$CUPSD_PID" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$CUPSD_PID" 2>/dev/null
        wait "$CUPSD_PID" 2>/dev/null
    fi
    for f in "${SAVED[@]}"; do
        if [[ -e $WORK/saved$f ]]; then
            cp -p "$WORK/saved$f" "$f"
        else
            rm -f "$f"
        fi
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

# The worked example: two arcs, two tickmark rows, a digits row and a label.
printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 \
    '[Arcs]' 20 22 '[Tickmarks]' $'10\t22\t20\t' $'50\t22\t21\t' \
    '[Digits]' $'5\t0\t100\t0\t24\t6\t' '[Labels]' $'26\t40\tmA\t8\t' '' >"$WORK/worked.vlt"

# --- 1. No print service: the no-printer message, nothing printed ---
set +e
"$BIN" --print-and-quit "$WORK/worked.vlt" >"$WORK/noprinter.out" 2>&1
status=$?
set -e
cat "$WORK/noprinter.out"
[[ $status -ne 0 ]] || fail "Print without a printer succeeded"
grep -qx "Vernalith: You don't have a printer set up on this machine!" "$WORK/noprinter.out" ||
    fail "Print without a printer did not say so"
echo "ok - no printer: the no-printer message"

# --- 2. A real cupsd with a cups-pdf queue as the default printer ---
sed -i -e "s|^#\{0,1\}Out .*|Out $OUT|" -e 's|^#\{0,1\}Label .*|Label 1|' /etc/cups/cups-pdf.conf
mkdir -p /run/cups
/usr/sbin/cupsd -f </dev/null >"$WORK/cupsd.log" 2>&1 &
CUPSD_PID=$!
for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q 'scheduler is running' && break
    kill -0 "$CUPSD_PID" 2>/dev/null || fail "cupsd did not start: $(cat "$WORK/cupsd.log")"
    sleep 0.2
done
lpstat -r | grep -q 'scheduler is running' || fail "cupsd is not answering"
lpadmin -p "$QUEUE" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
    -o PageSize=A4 -o printer-is-shared=false -o pdftops-renderer-default=pdftocairo 2>/dev/null
lpadmin -d "$QUEUE"
lpoptions -d "$QUEUE" >/dev/null

"$BIN" --print-and-quit "$WORK/worked.vlt" >"$WORK/print.out" 2>&1 ||
    fail "Print failed: $(cat "$WORK/print.out")"
[[ ! -s $WORK/print.out ]] || { cat "$WORK/print.out"; }
grep -q '^Vernalith:' "$WORK/print.out" && fail "Print showed a message: $(cat "$WORK/print.out")"

# The job is done when the queue is empty and the PDF is there.
pdf=
for _ in $(seq 300); do
    if [[ -z $(lpstat -o "$QUEUE" 2>/dev/null) ]]; then
        pdf=$(find "$OUT" -name '*.pdf' -type f 2>/dev/null | head -n 1)
        [[ -n $pdf ]] && break
    fi
    sleep 0.2
done
[[ -n $pdf ]] || fail "no PDF came out of the queue; cupsd log: $(tail -n 20 /var/log/cups/error_log 2>/dev/null)"
echo "printed: $pdf"

# The printable area of the queue's A4 page, in points from the bottom-left corner.
area=$(grep -E '^\*ImageableArea A4[/:]' "/etc/cups/ppd/$QUEUE.ppd" | sed -E 's/.*"(.*)".*/\1/')
[[ -n $area ]] || fail "no A4 printable area in the queue's driver file"

pdftocairo -svg "$pdf" "$WORK/page.svg"
/usr/bin/python3 - "$WORK/page.svg" "$area" <<'PYTHON'
import re
import sys
import xml.etree.ElementTree as ET

svg_path, area = sys.argv[1], sys.argv[2]
left, bottom, right, top = (float(v) for v in area.split())
PT = 25.4 / 72.0

root = ET.parse(svg_path).getroot()
width_pt = float(re.match(r"[\d.]+", root.get("width")).group())
height_pt = float(re.match(r"[\d.]+", root.get("height")).group())
view = [float(v) for v in root.get("viewBox").split()] if root.get("viewBox") else [0, 0, width_pt, height_pt]
sx, sy = width_pt / view[2], height_pt / view[3]


def matrix(text):
    """The transform attribute as (a, b, c, d, e, f)."""
    m = (1.0, 0.0, 0.0, 1.0, 0.0, 0.0)
    for name, args in re.findall(r"(\w+)\s*\(([^)]*)\)", text or ""):
        v = [float(x) for x in re.split(r"[\s,]+", args.strip()) if x]
        if name == "matrix":
            t = tuple(v)
        elif name == "translate":
            t = (1, 0, 0, 1, v[0], v[1] if len(v) > 1 else 0)
        elif name == "scale":
            t = (v[0], 0, 0, v[1] if len(v) > 1 else v[0], 0, 0)
        else:
            continue
        m = compose(m, t)
    return m


def compose(m, t):
    a, b, c, d, e, f = m
    A, B, C, D, E, F = t
    return (a * A + c * B, b * A + d * B, a * C + c * D, b * C + d * D, a * E + c * F + e, b * E + d * F + f)


def apply(m, x, y):
    a, b, c, d, e, f = m
    return a * x + c * y + e, b * x + d * y + f


def points(d):
    """The end points of a path made of M, L, H, V and Z commands; None for any curve."""
    pts, x, y = [], 0.0, 0.0
    tokens = re.findall(r"[A-Za-z]|-?[\d.]+(?:e-?\d+)?", d)
    i, cmd = 0, None
    while i < len(tokens):
        if tokens[i].isalpha():
            cmd = tokens[i]
            i += 1
            if cmd in "Zz":
                continue
        if cmd in "ML":
            x, y = float(tokens[i]), float(tokens[i + 1]); i += 2
        elif cmd in "ml":
            x, y = x + float(tokens[i]), y + float(tokens[i + 1]); i += 2
        elif cmd == "H":
            x = float(tokens[i]); i += 1
        elif cmd == "V":
            y = float(tokens[i]); i += 1
        else:
            return None
        pts.append((x, y))
    return pts


boxes = []


def walk(node, m):
    m = compose(m, matrix(node.get("transform")))
    tag = node.tag.split("}")[-1]
    if tag == "path" and node.get("d"):
        pts = points(node.get("d"))
        if pts and len(pts) >= 4:
            page = [apply(m, x, y) for x, y in pts]
            xs = sorted({round(p[0], 3) for p in page})
            ys = sorted({round(p[1], 3) for p in page})
            # An axis-parallel rectangle: every corner on one of two x and two y values.
            if all(min(abs(p[0] - xs[0]), abs(p[0] - xs[-1])) < 0.01 and
                   min(abs(p[1] - ys[0]), abs(p[1] - ys[-1])) < 0.01 for p in page):
                boxes.append((xs[0] * sx, ys[0] * sy, xs[-1] * sx, ys[-1] * sy))
    for child in node:
        walk(child, m)


walk(root, (1.0, 0.0, 0.0, 1.0, 0.0, 0.0))
# The card outline is the rectangle nearest to 52 x 45 mm.
cards = sorted(boxes, key=lambda b: abs((b[2] - b[0]) * PT - 52) + abs((b[3] - b[1]) * PT - 45))
if not cards:
    sys.exit("FAIL: no rectangle found on the printed page")
x0, y0, x1, y1 = cards[0]
w, h = (x1 - x0) * PT, (y1 - y0) * PT
# The printable area's top-left corner, from the page's top-left corner.
corner_x, corner_y = left * PT, (height_pt - top) * PT
dx, dy = x0 * PT - corner_x, y0 * PT - corner_y
print(f"card outline {w:.3f} x {h:.3f} mm, {dx:.3f} mm right of and {dy:.3f} mm below the printable corner")
errors = []
if abs(w - 52) > 0.1 or abs(h - 45) > 0.1:
    errors.append(f"the card is {w:.3f} x {h:.3f} mm, not 52.00 x 45.00 mm")
if abs(dx - 10) > 0.1 or abs(dy - 10) > 0.1:
    errors.append(f"the card is {dx:.3f}, {dy:.3f} mm from the printable corner, not 10, 10 mm")
if errors:
    sys.exit("FAIL: " + "; ".join(errors))
PYTHON
echo "ok - real printer: the card at true size, 10 mm in from the printable corner"
