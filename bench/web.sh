#!/usr/bin/env bash
# The web page's figures (bench/web_bench.mjs says which): transfer size, navigation to the
# first battle, CPU of the browser during a full battle against an empty page, the tick
# interval. Builds the site first when it is missing (scripts/web.sh --build-only); needs
# Chromium and puppeteer-core as the tests install them (scripts/setup.sh --test).
#   bench/web.sh [SITE_DIR]   (default build/web/site)
#   SIZES="800x600 1920x1080"  MEASURE_SECONDS=20  RUNS=7
set -euo pipefail
cd "$(dirname "$0")/.."
site=${1:-build/web/site}
[[ -f $site/index.html ]] || scripts/web.sh --build-only
if [[ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]]; then
  (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
echo "site $site, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(chromium --version 2>/dev/null || true)"
exec node bench/web_bench.mjs "$site"
