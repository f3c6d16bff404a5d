#!/usr/bin/env bash
# Installs what is missing, builds the web page into build/web/site/ and serves it on
# http://127.0.0.1:8000/ until Ctrl-C. The site is static: any host serves it, and its
# index.html also works opened from disk (docs/web.md).
#   scripts/web.sh               build and serve
#   scripts/web.sh --build-only  build only (the site and the node runner, build/web/kelvarin-script.js)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -gt 1 || ( $# -eq 1 && "$1" != "--build-only" ) ]]; then
  echo "usage: $0 [--build-only]" >&2
  exit 2
fi

scripts/setup.sh --web
# emscripten's optimiser loads Debian's acorn from there (the preset sets it too).
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
cmake --preset web >/dev/null
cmake --build --preset web
[[ "${1:-}" == "--build-only" ]] && exit 0

echo "Kelvarin is at http://127.0.0.1:8000/ (Ctrl-C stops the server)"
cd build/web/site
exec python3 -m http.server --bind 127.0.0.1 8000
