#!/bin/sh
# start_failure.sh PATTERN KELVARIN [ARG...]
# The window cannot open: the program must exit with status 1, print nothing
# on standard output and exactly one line on standard error, matching PATTERN
# (grep -E).
pattern=$1
shift
out=$("$@" 2>&1 >/dev/null)
status=$?
printf '%s\n' "$out"
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, expected 1"; exit 1; }
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || { echo "FAIL: not one line"; exit 1; }
printf '%s\n' "$out" | grep -Eq -- "$pattern" || { echo "FAIL: no match for $pattern"; exit 1; }
