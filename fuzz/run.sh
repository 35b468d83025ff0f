#!/usr/bin/env bash
# Builds the fuzzers in <builddir> (configuring them with clang if needed) and runs each for
# <seconds> from the seed corpus: dialfile_fuzzer (the reader and writer) and export_fuzzer (the
# reader, the drawing and the four drawing exports). Fails on any crash, sanitizer report or
# broken promise.
#
#   bash fuzz/run.sh <builddir> [seconds]      (seconds default to 60)
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: bash fuzz/run.sh <builddir> [seconds]" >&2
    exit 2
fi
builddir=$1
seconds=${2:-60}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")

if [[ ! -f "$builddir/CMakeCache.txt" ]]; then
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$builddir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVERNALITH_FUZZ=ON -DBUILD_TESTING=OFF -DVERNALITH_GUI=OFF -DVERNALITH_BENCH=OFF
fi
cmake --build "$builddir" --target dialfile_fuzzer export_fuzzer

# run_fuzzer NAME [libFuzzer options...]
run_fuzzer() {
    local name=$1
    shift
    local fuzzer
    fuzzer=$(find "$builddir" -type f -name "$name" -perm -u+x | head -n 1)
    if [[ -z "$fuzzer" ]]; then
        echo "run.sh: $name was not built in $builddir" >&2
        return 1
    fi

    # Work on a copy of the seeds so that the corpus in the source tree stays small.
    local work="$builddir/fuzz-run/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$here"/corpus/* "$work/corpus/"

    # An input that runs past 5 minutes is a hang and fails as a timeout. One that only runs past
    # libFuzzer's 10 s is kept as slow-unit-* and named, but is no failure: under the sanitizers an
    # input that exports thousands of outlined texts takes that long.
    local status=0
    "$fuzzer" "$work/corpus" -dict="$here/dialfile.dict" -max_total_time="$seconds" -max_len=8192 -timeout=300 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$@" 2>&1 | tee "$work/log.txt" || status=$?

    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt" | tail -n 1)
    echo "run.sh: $name: ${runs:-0} executions in ${seconds} s"
    local slow
    for slow in "$work"/artifacts/slow-unit-*; do
        if [[ -e "$slow" ]]; then
            echo "run.sh: $name: a slow input, kept: $slow"
        fi
    done
    if [[ $status -ne 0 ]] || [[ -n "$(find "$work/artifacts" -type f ! -name 'slow-unit-*' -print -quit)" ]]; then
        echo "run.sh: $name found a failing input (exit status $status):" >&2
        ls -l "$work/artifacts" >&2
        return 1
    fi
}

failed=0
run_fuzzer dialfile_fuzzer || failed=1
# Qt's font and glyph caches grow as new texts are drawn, which the leak check would take for
# leaks; the dial file fuzzer and the sanitizer run of the test suite look for leaks.
run_fuzzer export_fuzzer -detect_leaks=0 -rss_limit_mb=4096 || failed=1
exit $failed
