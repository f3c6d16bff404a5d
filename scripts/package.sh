#!/usr/bin/env bash
# Installs what is missing, builds the release and makes the Debian package from it:
# build/release/kelvarin_VERSION_ARCH.deb (install it with `sudo apt install ./build/release/kelvarin_*.deb`).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --package
# The program alone, as scripts/run.sh builds it: the tests' own packages come with scripts/test.sh.
cmake --preset release -DKELVARIN_TESTS=OFF >/dev/null
cmake --build --preset release
cpack --config build/release/CPackConfig.cmake -B build/release
