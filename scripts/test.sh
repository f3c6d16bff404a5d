#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the
# release build (with the real-window end-to-end test) and in the dev build
# under AddressSanitizer and UndefinedBehaviorSanitizer (with the soak and a
# bounded fuzzing run).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --test
jobs=$(nproc)

for preset in release dev; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
