#!/usr/bin/env bash
# Builds the libFuzzer targets with clang; prints a note and succeeds when clang is not available.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: fuzz targets skipped"
  exit 0
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKRV_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc 2>/dev/null || echo 2)"
