#!/usr/bin/env bash
# The same battle on every build: runs every script the tests run (and a few
# runs that only a long battle or a bad file shows) through a reference build
# of the script runner and through another build, and insists on the same
# standard output, standard error and exit status, byte for byte.
#
#   tests/cross/same_output.sh REFERENCE -- COMMAND [ARG...]
#
# REFERENCE is a native kelvarin-script (the runner without picture files, so
# `png` and `gif` lines give the same error everywhere); COMMAND [ARG...] runs
# the other build, e.g. `node --no-experimental-fetch build/web/kelvarin-script.js`
# or `wine build/windows/kelvarin.exe`. Scripts run from inside their own
# folder, named relatively, so that paths in messages are the same. Set
# KELVARIN_SOAK_TICKS to change the length of the long battles (100000).
set -euo pipefail

if [[ $# -lt 3 || "$2" != "--" ]]; then
  echo "usage: $0 REFERENCE -- COMMAND [ARG...]" >&2
  exit 2
fi
reference=$(realpath "$1")
shift 2
candidate=()
for arg in "$@"; do
  # Files named relatively are found from any folder.
  if [[ -e "$arg" ]]; then candidate+=("$(realpath "$arg")"); else candidate+=("$arg"); fi
done
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

runs=0
failures=0

# run NAME DIR STDIN ARG...: both builds in DIR with STDIN, compared.
run() {
  local name=$1 dir=$2 input=$3
  shift 3
  local side status
  for side in reference candidate; do
    local -a command
    if [[ $side == reference ]]; then command=("$reference"); else command=("${candidate[@]}"); fi
    status=0
    (cd "$dir" && "${command[@]}" "$@" <"$input" >"$work/$side.out" 2>"$work/$side.err") || status=$?
    echo "$status" >"$work/$side.status"
  done
  runs=$((runs + 1))
  local what
  for what in status out err; do
    if ! cmp -s "$work/reference.$what" "$work/candidate.$what"; then
      failures=$((failures + 1))
      echo "DIFFERENT $what: $name"
      diff <(head -c 4000 "$work/reference.$what") <(head -c 4000 "$work/candidate.$what") | head -n 12 || true
      return
    fi
  done
}

# Every script of the tests and every seed of the fuzzer, by file name and,
# for some, on standard input.
while IFS= read -r script; do
  dir=$(dirname "$script")
  name=$(basename "$script")
  run "${script#"$top"/}" "$dir" /dev/null --script "$name"
done < <(find "$top/tests/scripts" "$top/fuzz/corpus" -name '*.kvs' | sort)
for script in "$top"/tests/scripts/*.kvs; do
  run "${script#"$top"/} on standard input" "$(dirname "$script")" "$script" --script -
done

# Scripts that cannot be read, and a script with carriage returns and a
# Ctrl-Z in it, which must be read as bytes.
mkdir "$work/files" "$work/files/folder"
printf 'dump\r\nseed 5\r\ntick 3\032\r\ndump\r\n\032\n' >"$work/files/bytes.kvs"
run "missing script" "$work/files" /dev/null --script no-such.kvs
# Read as the name it is, not a pattern: no file has it.
run "missing script named with wildcards" "$work/files" /dev/null --script 'no*such?.kvs'
run "folder as a script" "$work/files" /dev/null --script folder
# A read that fails with an error of the system's own (EIO): each C library
# has its words for it, the runner has one.
if [[ -e /proc/self/mem ]]; then
  run "a script whose read fails" "$work/files" /dev/null --script /proc/self/mem
fi
run "carriage returns and Ctrl-Z" "$work/files" /dev/null --script bytes.kvs
run "carriage returns and Ctrl-Z on standard input" "$work/files" "$work/files/bytes.kvs" --script -
printf '0.5 0.25\n# comment\n0.999\n' >"$work/files/values.txt"
printf 'random-file values.txt\nclick 10 10\ntick\ndump\n' >"$work/files/values.kvs"
run "random values from a file, then exhausted" "$work/files" /dev/null --script values.kvs
printf 'random-file folder\n' >"$work/files/folder.kvs"
run "random values from a folder" "$work/files" /dev/null --script folder.kvs

# Long battles: the last bit of a sine shows only over many ticks.
ticks=${KELVARIN_SOAK_TICKS:-100000}
for seed in 1 315 18446744073709551615; do
  printf 'seed %s\ntick %s\ndump\n' "$seed" "$ticks" >"$work/files/soak-$seed.kvs"
  run "seed $seed, $ticks ticks" "$work/files" "$work/files/soak-$seed.kvs" --script -
done

echo "$runs runs, $failures different"
[[ $failures -eq 0 ]]
