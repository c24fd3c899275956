#!/usr/bin/env bash
# Runs every fuzz target for FUZZ_SECONDS (default 30) each; any crash fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
shopt -s nullglob
targets=(build-fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets built: run scripts/build-fuzzers.sh" >&2
  exit 1
fi
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  # Small valid inputs in fuzz/seeds/<target>/ get a target past its parser from the first run.
  seeds=()
  [ -d "fuzz/seeds/${name#fuzz_}" ] && seeds=("fuzz/seeds/${name#fuzz_}")
  echo "fuzzing $name for ${seconds}s"
  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$t" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="build-fuzz/$name-" "$corpus" "${seeds[@]}" 2>&1 | tail -n 12
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$name failed"; exit 1; }
done
