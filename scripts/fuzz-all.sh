#!/usr/bin/env bash
# Runs every libFuzzer target of the project, each for FUZZ_SECONDS (default 60): the settings
# reader, the notification line splitter and the Base64 decoder (tests/fuzz), then the SOAP
# reply reader and service description loader through scripts/fuzz.sh when it is there.
# Not part of the test command. Findings (crash-*, leak-*, timeout-* inputs) are kept in
# build-fuzz/findings/; the script exits non-zero when there are any.
#
#   scripts/fuzz-all.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-${FUZZ_SECONDS:-60}}
build=${SARN_FUZZ_BUILD_DIR:-$root/build-fuzz}
findings=$build/findings
work=$build/fuzz-work

scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSARN_FUZZ=ON >/dev/null
cmake --build "$build" -j 2 --target sarn_fuzzers

mkdir -p "$findings"
# The settings reader writes its file on every run; tmpfs keeps that cheap.
export TMPDIR=/dev/shm
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
status=0
for target in private_profile line_split base64; do
    corpus=$work/$target
    mkdir -p "$corpus"
    cp -n tests/fuzz/corpus/$target/* "$corpus"/ 2>/dev/null || true
    echo "== fuzz_$target for ${seconds}s"
    # The working corpus grows in build-fuzz; the committed seeds stay as they are.
    if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "$corpus" >"$work/$target.log" 2>&1; then
        echo "   FINDING: see $work/$target.log and $findings/$target-*"
        status=1
    fi
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$work/$target.log" |
        sed 's/^/   /' || true
done

if [ -x scripts/fuzz.sh ]; then
    echo "== scripts/fuzz.sh (SOAP reply reader, service description loader) for ${seconds}s each"
    FUZZ_SECONDS=$seconds scripts/fuzz.sh "$seconds" || status=1
else
    echo "== scripts/fuzz.sh is not there: the SOAP targets were not run"
fi
exit $status
