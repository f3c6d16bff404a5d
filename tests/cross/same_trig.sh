#!/usr/bin/env bash
# The same trigonometry on every build: runs trig_sample (the hash of the
# battle's sine, cosine and arctangent over the tests' sample) of a reference
# build and of another build, and insists on the same lines.
#   tests/cross/same_trig.sh REFERENCE -- COMMAND [ARG...]
# e.g. build/release/tests/cross/trig_sample -- node --no-experimental-fetch build/web/tests/cross/trig_sample.js
set -euo pipefail

if [[ $# -lt 3 || "$2" != "--" ]]; then
  echo "usage: $0 REFERENCE -- COMMAND [ARG...]" >&2
  exit 2
fi
reference=$1
shift 2
expected=$("$reference")
# Windows' C library ends the lines with a carriage return.
got=$("$@" | tr -d '\r')
if [[ "$got" != "$expected" ]]; then
  echo "the trigonometry differs:"
  diff <(echo "$expected") <(echo "$got") || true
  exit 1
fi
echo "the same trigonometry: $(echo "$expected" | tr '\n' ' ')"
