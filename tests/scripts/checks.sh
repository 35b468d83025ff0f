# Sourced by the shell tests: a scratch directory removed on exit, and checks that are counted.
work=$(mktemp -d /tmp/vernalith-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }
# check DESCRIPTION COMMAND...: passes when the command succeeds; shows its output when not.
check() {
    local what=$1
    shift
    if "$@" >"$work/last.log" 2>&1; then pass "$what"; else fail "$what" && sed 's/^/    /' "$work/last.log"; fi
}
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is not installed (package $2)"; exit 1; }; }
finish() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
