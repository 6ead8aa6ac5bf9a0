#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, then the ASan+UBSan
# build. GUI tests run offscreen; end-to-end tests start their own Xvfb and service.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/install-deps.sh

configure_and_build() {  # dir, extra cmake args...
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

configure_and_build build
ctest --test-dir build --output-on-failure -j "$jobs"

# The browser engine does not run under the sanitizers; everything else does.
configure_and_build build-asan -DSARN_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE 'webengine|e2e|bench'
