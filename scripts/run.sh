#!/usr/bin/env bash
# Installs what is missing, builds the release and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# The program alone: the tests' own packages come with scripts/test.sh.
cmake --preset release -DKELVARIN_TESTS=OFF >/dev/null
cmake --build --preset release --target kelvarin

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "Kelvarin is built (build/release/kelvarin), but there is no display to open its window on."
  echo "Run it from a desktop session, or under a virtual display (Debian package xvfb):"
  echo "    xvfb-run -a build/release/kelvarin"
  exit 1
fi
exec build/release/kelvarin "$@"
