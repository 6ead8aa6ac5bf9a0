#!/usr/bin/env bash
# Builds what is missing, starts the reference service, and runs the client against it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target sarn-terminal
exec build/bin/sarn-terminal
