#!/usr/bin/env bash
# Builds and runs the popup benchmark offscreen: datagram-to-visible-popup latency (median of
# 100) and the idle listener's CPU. Usage: scripts/bench/popup_bench.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target popup_bench -j2
QT_QPA_PLATFORM=offscreen "$build/tests/push/popup_bench"
