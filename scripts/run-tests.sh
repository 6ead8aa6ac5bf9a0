#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build (build/), then the
# ASan+UBSan build (build-asan/) without the browser, end-to-end and benchmark tests, which do
# not run under the sanitizers. GUI tests run offscreen; end-to-end tests start their own Xvfb
# and service. Benchmarks (label bench) are left to scripts/bench. Prints ctest's summary for
# each build; exits non-zero when any test failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
sanitizer_skip='webengine|e2e|bench'

scripts/install-deps.sh

configure() {  # dir, extra cmake args...
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
}

export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

status=0

echo "== normal build (build/)"
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
# Under an X server of its own, so browser tests that need a display have one; the widget tests
# stay offscreen and the end-to-end tests start their own.
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build --output-on-failure -j "$jobs" -LE bench || status=1

echo "== ASan+UBSan build (build-asan/)"
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DSARN_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE "$sanitizer_skip" || status=1

echo "== fuzz smoke run of the SOAP reply reader and description loader (build-fuzz/)"
# A short run from the committed seeds; scripts/fuzz-all.sh runs every fuzzer for longer.
scripts/fuzz.sh 10 || status=1

[ "$status" -eq 0 ] && echo "== all tests passed" || echo "== some tests FAILED"
exit "$status"
