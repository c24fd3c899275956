#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (installed by install-deps.sh; a missing clang is a broken setup).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: run scripts/install-deps.sh" >&2
  exit 1
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKRV_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc 2>/dev/null || echo 2)"
