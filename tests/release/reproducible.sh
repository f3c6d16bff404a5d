#!/usr/bin/env bash
# A release can be made again by anyone: two clones of the commit checked out, in two different
# folders, make their releases a few seconds apart, and the checksums of every artifact agree. A
# work tree with a change is refused with one line, and nothing is made.
#   tests/release/reproducible.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "reproducible: $*" >&2
  exit 1
}

for side in first second-build-folder; do
  git clone --quiet --no-hardlinks "$top" "$work/$side"
  git -C "$work/$side" checkout --quiet "$(git -C "$top" rev-parse HEAD)"
done

echo "== a work tree with a change"
echo "change" >>"$work/first/README.md"
if err=$("$work/first/scripts/release.sh" "$work/refused" 2>&1 >/dev/null); then
  fail "a work tree with a change was released"
fi
[[ $(printf '%s\n' "$err" | wc -l) -eq 1 && $err == "release: "*"uncommitted changes"* ]] ||
  fail "not one clear line: $err"
[[ ! -e $work/refused ]] || fail "a refused release left $work/refused"
git -C "$work/first" checkout --quiet README.md

echo "== two releases"
start=$(date +%s)
"$work/first/scripts/release.sh" "$work/first-out" >"$work/first.log" 2>&1 || {
  tail -n 40 "$work/first.log"
  fail "the first release failed"
}
sleep 2
"$work/second-build-folder/scripts/release.sh" "$work/second-out" >"$work/second.log" 2>&1 || {
  tail -n 40 "$work/second.log"
  fail "the second release failed"
}
echo "two releases in $(($(date +%s) - start)) s"

version=$(sed -n 's/^project(kelvarin VERSION \([0-9][0-9.]*\) .*/\1/p' "$top/CMakeLists.txt")
arch=$(dpkg --print-architecture)
expected="kelvarin-$version-web.zip
kelvarin-$version-windows-x64.msi
kelvarin-$version-windows-x64.zip
kelvarin-$version.tar.gz
kelvarin_${version}_$arch.deb"
[[ $(awk '{print $2}' "$work/first-out/SHA256SUMS" | sort) == "$expected" ]] ||
  fail "the release does not hold the expected artifacts: $(cat "$work/first-out/SHA256SUMS")"
(cd "$work/first-out" && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
if ! diff "$work/first-out/SHA256SUMS" "$work/second-out/SHA256SUMS"; then
  fail "the two releases differ (diffoscope shows how)"
fi
ls -l "$work/first-out"
echo "PASS"
