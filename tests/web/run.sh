#!/usr/bin/env bash
# The web build's tests: the page in headless Chromium (page_test.mjs, against
# the native program's pictures), the node runner against the native runner
# for every script (tests/cross/same_output.sh) and the battle's trigonometry
# against the native build's (tests/cross/same_trig.sh).
#   tests/web/run.sh [WEB_BUILD [NATIVE_BUILD]]   (default build/web and build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
web=${1:-build/web}
native=${2:-build/release}

# puppeteer-core as the lock file pins it, installed again only when the lock
# file changed; it drives Debian's Chromium and downloads no browser.
if [[ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]]; then
  (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

echo "the page in Chromium"
node tests/web/page_test.mjs "$web/site" "$native/kelvarin"
echo "the node runner against the native runner"
tests/cross/same_output.sh "$native/kelvarin-script" -- node --no-experimental-fetch "$web/kelvarin-script.js"
echo "the trigonometry under node against the native build's"
# Built on request: cmake --build --preset web --target trig_sample
[[ -f "$web/tests/cross/trig_sample.js" ]] || { echo "no $web/tests/cross/trig_sample.js" >&2; exit 1; }
tests/cross/same_trig.sh "$native/tests/cross/trig_sample" -- \
  node --no-experimental-fetch "$web/tests/cross/trig_sample.js"
