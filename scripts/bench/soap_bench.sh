#!/usr/bin/env bash
# SOAP client benchmarks on loopback (not tests): 1000 GetRemoteIP calls against a raw libcurl
# POST loop of the same bytes, and one GetNewUpdateFile of a 64 MiB image (about 85 MiB of
# Base64) with its time and peak memory, next to curl | base64 -d on the same Base64.
# Usage: scripts/bench/soap_bench.sh [calls] [image MiB]
set -euo pipefail
cd "$(dirname "$0")/../.."
calls=${1:-1000}
mebibytes=${2:-64}
build=${SOAP_BENCH_BUILD:-build-bench}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target soap_bench -j 2 >/dev/null
bench=$build/tests/service/soap_bench

"$bench" rpc "$calls"

coproc SERVER { "$bench" serve "$mebibytes"; }
read -r host <&"${SERVER[0]}"
"$bench" update "$host"
/usr/bin/time -f "curl -s URL | base64 -d > /dev/null: %e s, peak RSS of the largest process %M KiB" \
    bash -c "curl -s http://$host/image.b64 | base64 -d > /dev/null"
eval "exec ${SERVER[1]}>&-"
wait "$SERVER_PID"
