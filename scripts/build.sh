#!/usr/bin/env bash
# Builds the Windows programs (build/win) and the portable code natively under the sanitizers
# (build/native).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${QUORALLION_JOBS:-$(nproc)}
build=${QUORALLION_BUILD_DIR:-$root/build}
# The Windows programs without debug information: they build and link faster, and Wine shows no
# source lines anyway. The native build keeps it for the sanitizers' reports.
cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win" -j "$jobs"
if [ "${QUORALLION_SKIP_NATIVE:-0}" != 1 ]; then
  cmake -S "$root" -B "$build/native" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/native" -j "$jobs"
fi
