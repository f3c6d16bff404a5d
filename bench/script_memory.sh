#!/usr/bin/env bash
# Peak memory of script runs that read as much as a script can ask for: the
# runner holds at most one script line (64 KiB), one random-file value
# (64 KiB) and the scripted values waiting to be drawn (at most 10 million,
# 80 MB), besides its surface. Prints the peak resident set size of each run
# in MB, with its exit status, and fails when a run's peak goes more than
# 100 MB beyond that of an empty script.
#
# Usage: bench/script_memory.sh [KELVARIN_BINARY]   (default build/release/kelvarin)
# Needs GNU time (/usr/bin/time) and about 300 MB in $TMPDIR for the files.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/release/kelvarin}
[[ -x "$bin" ]] || { echo "script_memory.sh: no kelvarin binary at $bin" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "script_memory.sh: needs GNU time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvarin-memory.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A 200 MB script line; 10 million values in a 40 MB file (the same again is
# more than the queue takes); `random` lines of 16,000 values each, until one
# goes over 10 million.
awk 'BEGIN { printf "random"; for (i = 0; i < 50000000; i++) printf " 0.5"; print "" }' \
  >"$work/long-line.kvs"
awk 'BEGIN { for (i = 0; i < 10000000; i++) print "0.5" }' >"$work/values.txt"
awk 'BEGIN { for (i = 0; i < 700; i++) { printf "random"; for (j = 0; j < 16000; j++) printf " 0.5";
             print "" } }' >"$work/lines.kvs"

peak() {  # NAME SCRIPT_FILE: prints NAME, the peak in MB and the exit status
  local status=0
  /usr/bin/time -f %M -o "$work/rss" "$bin" --script "$2" >/dev/null 2>"$work/err" || status=$?
  local kb
  kb=$(tail -n 1 "$work/rss")
  printf '%-34s %7.1f MB   status %s   %s\n' "$1" "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')" \
    "$status" "$(head -c 100 "$work/err")"
  last_kb=$kb
}

printf 'dump\n' >"$work/empty.kvs"
peak "empty script (baseline)" "$work/empty.kvs"
base_kb=$last_kb
worst_kb=0
run() {
  peak "$@"
  ((last_kb > worst_kb)) && worst_kb=$last_kb
  return 0
}
run "script /dev/zero" /dev/zero
printf 'random-file /dev/zero\n' >"$work/zero.kvs"
run "random-file /dev/zero" "$work/zero.kvs"
run "200 MB script line" "$work/long-line.kvs"
printf 'random-file %s\n' "$work/values.txt" >"$work/values.kvs"
run "40 MB random-file, 10M values" "$work/values.kvs"
printf 'random-file %s\nrandom-file %s\n' "$work/values.txt" "$work/values.txt" >"$work/twice.kvs"
run "the same file twice (over 10M)" "$work/twice.kvs"
run "random lines, 16000 values each" "$work/lines.kvs"

beyond=$(((worst_kb - base_kb) / 1024))
echo "worst peak: $beyond MB beyond the empty script"
((beyond < 100)) || { echo "FAIL: more than 100 MB beyond the empty script" >&2; exit 1; }
