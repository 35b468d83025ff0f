#!/bin/bash
# Print through a real CUPS server, as the Print button and Printer Calibration do, and measure
# what comes out (to 0.05 mm): first with no print server answering, then on a cups-pdf queue of
# a server of our own; each step below says what it checks.
#
# The program is driven through its hidden --print-and-quit, --print-test-sheet-and-quit,
# --calibrate-and-quit X,Y and --reset-calibration-and-quit options: each loads the file, runs
# the command as the window and the calibration dialog do with the printers it is shown, writes
# any message to stderr instead of a box, and quits.
#
# The server is a private cupsd with its own configuration, queues, spool, logs and a unix
# socket, and no network port. The program and the lp tools reach it through CUPS_SERVER, so a
# print service already running on the machine is neither asked nor changed. Its directories
# are where Debian's AppArmor profiles let cupsd and the cups-pdf backend read and write.
# The one shared file it changes is /etc/cups/cups-pdf.conf: the backend's AppArmor profile lets
# it read no other settings file (a per-queue cups-pdf-NAME.conf would be refused). Its output
# directory points at ours while the test runs, then the file is put back. The program's settings
# (the stored calibration) go to a home directory of the test's own.
#
# Needs root (cupsd, the cups-pdf backend); started by another user it runs itself again
# through sudo. Installs the Debian packages it lacks.

set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

BUILD_DIR=${1:?usage: test_print_cups.sh BUILD_DIR}

if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || fail "must run as root (it starts a cupsd of its own), and sudo is not installed"
    echo "not root: running again through sudo"
    exec sudo --preserve-env=QT_QPA_PLATFORM -- /bin/bash "$(realpath "$0")" "$(realpath "$BUILD_DIR")"
fi

BIN=$BUILD_DIR/src/app/vernalith
MEASURE=$(dirname "$(realpath "$0")")/measure_page.py
QUEUE=VernalithTestPdf
PDF_CONF=/etc/cups/cups-pdf.conf
export QT_QPA_PLATFORM=offscreen
unset PRINTER LPDEST

[[ -x $BIN ]] || fail "$BIN is not built"

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

WORK=
SERVER=
OUT=
CUPSD_PID=
PDF_CONF_CHANGED=
cleanup() {
    set +e
    if [[ -n $CUPSD_PID ]]; then
        kill "$CUPSD_PID" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$CUPSD_PID" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$CUPSD_PID" 2>/dev/null
        wait "$CUPSD_PID" 2>/dev/null
    fi
    if [[ -n $PDF_CONF_CHANGED ]]; then
        if [[ -e $WORK/cups-pdf.conf.saved ]]; then
            cp -p "$WORK/cups-pdf.conf.saved" "$PDF_CONF"
        else
            rm -f "$PDF_CONF"
        fi
    fi
    [[ -n $SERVER ]] && rm -rf "$SERVER"
    [[ -n $OUT ]] && rm -rf "$OUT"
    [[ -n $WORK ]] && rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# Our own files, home and runtime directory: no user's printer choices (~/.cups/lpoptions) or
# settings come in, and nothing is left in root's home.
WORK=$(mktemp -d /tmp/vernalith-print.XXXXXX)
mkdir -m 700 "$WORK/home" "$WORK/runtime"
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/runtime XDG_CONFIG_HOME=$WORK/home/.config

# The private server's tree. cupsd's AppArmor profile allows all it does with configuration,
# spool, cache, state and logs under /var/cache/cups/, and nothing in /tmp.
SERVER=$(mktemp -d /var/cache/cups/vernalith-test.XXXXXX)
chmod 755 "$SERVER"
mkdir -p "$SERVER/ppd" "$SERVER/spool/tmp" "$SERVER/cache" "$SERVER/state" "$SERVER/log"
mkdir -m 700 "$SERVER/ssl"
SOCKET=$SERVER/cups.sock
# The backend's PDF and log: the cups-pdf profile allows writing under /var/spool/cups-pdf/.
OUT=$(mktemp -d /var/spool/cups-pdf/vernalith-test.XXXXXX)

cat >"$SERVER/cups-files.conf" <<EOF
ServerRoot $SERVER
RequestRoot $SERVER/spool
TempDir $SERVER/spool/tmp
CacheDir $SERVER/cache
StateDir $SERVER/state
ServerKeychain $SERVER/ssl
Printcap $SERVER/printcap
ErrorLog $SERVER/log/error_log
AccessLog $SERVER/log/access_log
PageLog $SERVER/log/page_log
SystemGroup root
EOF
cat >"$SERVER/cupsd.conf" <<EOF
LogLevel info
MaxLogSize 0
# Job records are written to the spool at once, where the test reads what a job asked for.
DirtyCleanInterval 0
Listen $SOCKET
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
ErrorPolicy abort-job
DefaultAuthType Basic
<Location />
  Order allow,deny
</Location>
<Policy default>
  <Limit CUPS-Add-Modify-Printer CUPS-Delete-Printer CUPS-Add-Modify-Class CUPS-Delete-Class CUPS-Set-Default CUPS-Accept-Jobs CUPS-Reject-Jobs Pause-Printer Resume-Printer Enable-Printer Disable-Printer>
    AuthType Default
    Require user @SYSTEM
    Order deny,allow
  </Limit>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

# Every CUPS client here (the program, lpadmin, lpstat) talks to the private server only and
# takes its client settings and local credentials from the private tree.
export CUPS_SERVER=$SOCKET CUPS_SERVERROOT=$SERVER CUPS_STATEDIR=$SERVER/state

server_log() {
    tail -n 20 "$SERVER/log/error_log" "$OUT"/cups-pdf-*_log 2>/dev/null
}

# The worked example: two arcs, two tickmark rows, a digits row and a label.
printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 \
    '[Arcs]' 20 22 '[Tickmarks]' $'10\t22\t20\t' $'50\t22\t21\t' \
    '[Digits]' $'5\t0\t100\t0\t24\t6\t' '[Labels]' $'26\t40\tmA\t8\t' '' >"$WORK/worked.vlt"

# --- 1. No print server: the no-printer message, nothing printed ---
# Nothing listens on the private socket yet, and a scheduler running for the machine is not asked.
[[ ! -e $SOCKET ]] || fail "$SOCKET exists before the server is started"
set +e
"$BIN" --print-and-quit "$WORK/worked.vlt" >"$WORK/noprinter.out" 2>&1
status=$?
set -e
cat "$WORK/noprinter.out"
[[ $status -ne 0 ]] || fail "Print without a printer succeeded"
grep -qx "Vernalith: You don't have a printer set up on this machine!" "$WORK/noprinter.out" ||
    fail "Print without a printer did not say so"
echo "ok - no printer: the no-printer message"

# --- 2. The private cupsd with a cups-pdf queue as the default printer ---
# Two runs at once would send each other's PDFs astray and put back each other's settings:
# take turns, holding a lock on /etc/cups until this run has put everything back and ended.
exec 9</etc/cups
flock -w 600 9 || fail "another run of this test has held the lock on /etc/cups for 10 minutes"
# Everything in the backend's settings stays but where the PDF and the backend's log go.
if [[ -e $PDF_CONF ]]; then
    cp -p "$PDF_CONF" "$WORK/cups-pdf.conf.saved"
fi
{
    if [[ -e $WORK/cups-pdf.conf.saved ]]; then
        grep -Ev '^[[:space:]]*(Out|Label|Log)[[:space:]]' "$WORK/cups-pdf.conf.saved" || true
    fi
    printf 'Out %s\nLabel 1\nLog %s\n' "$OUT" "$OUT"
} >"$WORK/cups-pdf.conf.test"
PDF_CONF_CHANGED=1
cat "$WORK/cups-pdf.conf.test" >"$PDF_CONF"

# A clean environment: no socket handed over by systemd, and no system message bus, so that
# desktop print applets do not hear of this server's queue and job.
env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$SERVER/no-bus" \
    /usr/sbin/cupsd -f -c "$SERVER/cupsd.conf" -s "$SERVER/cups-files.conf" \
    </dev/null >"$WORK/cupsd.out" 2>&1 9<&- &
CUPSD_PID=$!
for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q 'scheduler is running' && break
    kill -0 "$CUPSD_PID" 2>/dev/null || fail "cupsd did not start: $(cat "$WORK/cupsd.out"; server_log)"
    sleep 0.2
done
lpstat -r | grep -q 'scheduler is running' || fail "cupsd is not answering on $SOCKET: $(server_log)"

# add_queue NAME [PAGE]: a cups-pdf queue for A4 or PAGE paper.
add_queue() {
    lpadmin -p "$1" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o PageSize="${2:-A4}" -o printer-is-shared=false -o pdftops-renderer-default=pdftocairo 2>/dev/null ||
        fail "cannot add the queue $1: $(server_log)"
}
# The printable area of a queue's page, in points from the bottom-left corner: area_of NAME PAGE.
area_of() {
    local area
    area=$(grep -E "^\*ImageableArea $2[/:]" "$SERVER/ppd/$1.ppd" | sed -E 's/.*"(.*)".*/\1/')
    [[ -n $area ]] || fail "no $2 printable area in the driver file of $1"
    echo "$area"
}
add_queue "$QUEUE"
lpadmin -d "$QUEUE"
[[ $(lpstat -d) == *": $QUEUE" ]] || fail "the queue is not the default printer: $(lpstat -d)"

AREA=$(area_of "$QUEUE" A4)

pdf_count() {
    find "$OUT" -name '*.pdf' -type f 2>/dev/null | wc -l
}
completed_jobs() {
    lpstat -W completed -o 2>/dev/null | wc -l
}
# Waits until the queues are empty and a PDF more than `before` is there; sets PDF to the newest.
PDF=
take_pdf() {
    local before=$1
    PDF=
    for _ in $(seq 300); do
        if [[ -z $(lpstat -o 2>/dev/null) ]] && (($(pdf_count) > before)); then
            PDF=$(ls -t "$OUT"/*.pdf | head -n 1)
            return 0
        fi
        sleep 0.2
    done
    fail "no PDF came out of the queue: $(server_log)"
}
# Runs the program and expects it to end without a message.
run_quietly() {
    local what=$1
    shift
    "$BIN" "$@" >"$WORK/run.out" 2>&1 || fail "$what failed: $(cat "$WORK/run.out")"
    if grep -q '^Vernalith:' "$WORK/run.out"; then
        fail "$what showed a message: $(cat "$WORK/run.out")"
    fi
}
# Runs the program and expects it to fail with a message line starting with `expected`.
run_refused() {
    local what=$1 expected=$2
    shift 2
    set +e
    "$BIN" "$@" >"$WORK/run.out" 2>&1
    local status=$?
    set -e
    cat "$WORK/run.out"
    [[ $status -ne 0 ]] || fail "$what succeeded"
    grep -qF -- "$expected" "$WORK/run.out" || fail "$what did not say \"$expected\""
}
# Prints the test sheet and checks its rulers within the printable area AREA: measure_sheet AREA.
measure_sheet() {
    local before
    before=$(pdf_count)
    run_quietly "Print Test Sheet" --print-test-sheet-and-quit "$WORK/worked.vlt"
    take_pdf "$before"
    pdftocairo -svg "$PDF" "$WORK/sheet.svg"
    /usr/bin/python3 "$MEASURE" rulers "$WORK/sheet.svg" "$1"
}
# Prints with `args` and measures the card outline: measure_card W H args...
measure_card() {
    local w=$1 h=$2
    shift 2
    local before
    before=$(pdf_count)
    run_quietly "Print" "$@"
    take_pdf "$before"
    pdftocairo -svg "$PDF" "$WORK/page.svg"
    /usr/bin/python3 "$MEASURE" card "$WORK/page.svg" "$AREA" "$w" "$h" 10 10
}

# --- 2a. A design that cannot be drawn: "Printer error!" and the server never sees a job ---
sed 's/^5\t0\t100\t0\t24\t6\t/40000\t0\t100\t0\t24\t6\t/' "$WORK/worked.vlt" >"$WORK/overflow.vlt"
grep -q 40000 "$WORK/overflow.vlt" || fail "the overflowing design was not made"
run_refused "Print of a design that cannot be drawn" "Vernalith: Printer error! (Scale Digits, row 1: Divisions 40000" \
    --print-and-quit "$WORK/overflow.vlt"
sleep 2 # a job would have reached the backend by now
[[ $(pdf_count) -eq 0 && $(completed_jobs) -eq 0 && -z $(lpstat -o) ]] ||
    fail "a job reached the server: $(ls "$OUT"; lpstat -W all -o)"
echo "ok - drawing error: \"Printer error!\" and no job reached the server"

# --- 2b. The worked example at true size ---
measure_card 52 45 --print-and-quit "$WORK/worked.vlt"
echo "ok - real printer: the card at true size, 10 mm in from the printable corner"
# What the program asked of the server, read back from the job's record in the spool (an IPP
# message): a queue set to fit or scale every job would otherwise shrink the card.
/usr/bin/python3 - "$(ls -t "$SERVER"/spool/c* | head -n 1)" >"$WORK/job.txt" <<'PYTHON'
import struct
import sys

data = open(sys.argv[1], "rb").read()
i, name, found = 8, None, {}
while i < len(data):
    tag = data[i]
    i += 1
    if tag < 0x10:  # a group's start; 0x03 ends the message
        if tag == 0x03:
            break
        continue
    (n,) = struct.unpack(">H", data[i:i + 2])
    if n:
        name = data[i + 2:i + 2 + n].decode()
    i += 2 + n
    (n,) = struct.unpack(">H", data[i:i + 2])
    value = data[i + 2:i + 2 + n]
    i += 2 + n
    if tag == 0x21:
        value = str(struct.unpack(">i", value)[0])
    elif tag == 0x22:
        value = "true" if value[0] else "false"
    else:
        value = value.decode("utf-8", "replace")
    found.setdefault(name, value)
for key in ("fit-to-page", "print-scaling", "number-up"):
    print(f"{key}={found.get(key, '(not asked)')}")
PYTHON
cat "$WORK/job.txt"
[[ $(cat "$WORK/job.txt") == $'fit-to-page=false\nprint-scaling=none\nnumber-up=1' ]] ||
    fail "the spooled job does not ask for the page as drawn"
echo "ok - the spooled job asks for no fitting, no scaling and one page per sheet"

# --- 2c. A queue that refuses jobs: the server's reason ---
cupsreject -r "closed for the test" "$QUEUE"
jobs_before=$(completed_jobs)
run_refused "Print on a queue that refuses jobs" "Vernalith: Printer error! (" --print-and-quit "$WORK/worked.vlt"
grep -qi "not accepting" "$WORK/run.out" || fail "the message does not give the server's reason: $(cat "$WORK/run.out")"
[[ $(completed_jobs) -eq $jobs_before && -z $(lpstat -o) ]] || fail "a job was queued on a refusing queue"
cupsaccept "$QUEUE"
echo "ok - refused job: \"Printer error!\" with the server's reason"

# --- 2d. Calibration ---
run_quietly "Storing the calibration" --calibrate-and-quit 147.06,204.08 "$WORK/worked.vlt"
run_refused "Storing a 7 % correction" "Vernalith: These lengths cannot be used!" \
    --calibrate-and-quit 140,200 "$WORK/worked.vlt"
grep -q "fit" "$WORK/run.out" || fail "the refusal does not name the likely cause"
measure_card "$(python3 -c 'print(52 * 150 / 147.06)')" "$(python3 -c 'print(45 * 200 / 204.08)')" \
    --print-and-quit "$WORK/worked.vlt"
echo "ok - calibrated X 102 %, Y 98 %: the card scaled about its top-left corner; the refused lengths changed nothing"
measure_sheet "$AREA"
pdftotext "$PDF" - | grep -q "The card's outline, 52 x 45 mm" || fail "the test sheet does not name the card's outline"
echo "ok - test sheet: rulers at nominal size with a correction stored"
run_quietly "Reset" --reset-calibration-and-quit "$WORK/worked.vlt"
measure_card 52 45 --print-and-quit "$WORK/worked.vlt"
echo "ok - Reset: true size again"

# --- 2e. Printers without a default ---
# (and afterwards a US Letter queue for the test sheet)
# Deleting the default queue leaves the server without a default; the queue comes back as a
# plain one.
lpadmin -x "$QUEUE"
add_queue "$QUEUE"
[[ $(lpstat -d) != *": "* ]] || fail "a default printer is still set: $(lpstat -d)"
measure_card 52 45 --print-and-quit "$WORK/worked.vlt"
echo "ok - one printer, no default: printed on it"
add_queue "${QUEUE}Two"
jobs_before=$(completed_jobs)
run_refused "Print with two printers and no default" "Vernalith: No default printer is chosen on this machine!" \
    --print-and-quit "$WORK/worked.vlt"
for name in "$QUEUE" "${QUEUE}Two"; do
    grep -q "$name" "$WORK/run.out" || fail "the message does not name $name"
done
sleep 1
[[ $(completed_jobs) -eq $jobs_before && -z $(lpstat -o) ]] || fail "a job was sent with no printer chosen"
echo "ok - two printers, no default: the message naming both, no job"

# --- 2f. The test sheet fits US Letter too ---
add_queue "${QUEUE}Letter" Letter
lpadmin -d "${QUEUE}Letter"
LETTER_AREA=$(area_of "${QUEUE}Letter" Letter)
measure_sheet "$LETTER_AREA"
pdfinfo "$PDF" | grep -q 'Page size:.*612 x 792' || fail "the Letter queue's page is not Letter: $(pdfinfo "$PDF" | grep 'Page size')"
echo "ok - test sheet on US Letter: rulers at nominal size, all within the printable area"
