#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the
# release build (with the real-window end-to-end test) and in the dev build
# under AddressSanitizer and UndefinedBehaviorSanitizer (with the soak); builds
# the core alone, with Qt and giflib out of sight, and runs its tests; builds
# the web page and the node runner and tests them against the release build
# (tests/web/run.sh: the page in headless Chromium, the runner's output byte
# for byte); cross-compiles the Windows programs and their zip and runs them
# under Wine; then builds the Debian package from the release build and checks
# it (scripts/check-package.sh); makes two releases of the commit checked out
# and compares them; then builds the libFuzzer target with clang and fuzzes
# the script runner for a bounded time (KELVARIN_FUZZ_SECONDS, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --test
jobs=$(nproc)

for preset in release dev core; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "== web"
scripts/web.sh --build-only
# The battle and the picture call no maths library but the exact functions,
# in this build as in the native ones, and the trigonometry's hash for
# comparing with the native build's (tests/cross).
cmake --build --preset web --target math_symbols trig_sample
tests/web/run.sh build/web build/release

echo "== windows"
# The Windows programs and their zip, then the Windows build under Wine
# (tests/windows/wine_e2e.sh), against the release build's runner.
scripts/windows.sh
cmake --build --preset windows --target preview_parent display_change trig_sample math_symbols
tests/windows/wine_e2e.sh build/windows/kelvarin.exe build/windows/tests/windows/preview_parent.exe \
  build/release/tests/e2e/screen_probe build/release/kelvarin-script \
  "build/windows/kelvarin-$(sed -n 's/^project(kelvarin VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)-windows-x64.msi"

echo "== package"
scripts/check-package.sh build/release

echo "== release"
# Two releases of the commit checked out, from two clones in two folders, give
# the same bytes (tests/release/reproducible.sh).
tests/release/reproducible.sh

echo "== fuzz"
cmake --preset fuzz -DKELVARIN_FUZZ_SECONDS="${KELVARIN_FUZZ_SECONDS:-60}" >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz
