#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: exactly the files and links of layout.expected, with
# their modes, every folder 0755, and the compressed files made with `gzip -9n` (no name, no time
# stamp: compressing their content again gives the same bytes).
#   layout.sh BUILD_DIR EXPECTED
set -euo pipefail
build=$1
expected=$(realpath "$2")

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"

diff -u "$expected" <({
  find . -type f -printf '%P %m\n'
  find . -type l -printf '%P -> %l\n'
  find . ! -type f ! -type l ! -type d -printf '%P (%y)\n'
} | LC_ALL=C sort)

folders=$(find . -mindepth 1 -type d ! -perm 755)
if [[ -n $folders ]]; then
  echo "folders not 0755:" $folders
  exit 1
fi

for f in $(find . -name '*.gz'); do
  cmp <(gzip -dc "$f" | gzip -9n) "$f"
done
