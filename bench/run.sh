#!/usr/bin/env bash
# Builds the host tree's payload benchmark and runs it: payload_bench [rounds].
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZARVO_BUILD:-$root/build}/host

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target payload_bench -j "$(nproc)"
"$build/payload_bench" "$@"
