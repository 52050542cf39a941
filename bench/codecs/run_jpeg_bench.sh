#!/usr/bin/env bash
# Builds the JPEG benchmark natively without the sanitizers at -O2 and runs it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${QUORALLION_BUILD_DIR:-$root/build}/bench-native
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
      -DQUORALLION_SANITIZE=OFF -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null
cmake --build "$build" -j "${QUORALLION_JOBS:-$(nproc)}" --target jpeg_bench
"$build/bin/jpeg_bench"
