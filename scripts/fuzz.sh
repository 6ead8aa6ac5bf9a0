#!/usr/bin/env bash
# Builds the libFuzzer targets of the SOAP reply reader and the description loader with clang
# into build-fuzz, then runs each for N seconds (default 60) from the seed corpus.
# Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
build=$root/build-fuzz

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSARN_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_soap_reply fuzz_service_description -j "${FUZZ_JOBS:-2}"

run() {  # target, seed folder
    local target=$1 seeds=$root/tests/service/fuzz/corpus/$2
    # New inputs go to a working corpus in the build folder; the seeds stay as committed.
    local work=$build/fuzz-corpus/$2
    mkdir -p "$work"
    echo "== $target for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1 "$build/tests/service/$target" -max_total_time="$seconds" \
        -max_len=65536 -print_final_stats=1 "$work" "$seeds" 2>&1 | tail -n 12
    return "${PIPESTATUS[0]}"
}

run fuzz_soap_reply reply
run fuzz_service_description wsdl
