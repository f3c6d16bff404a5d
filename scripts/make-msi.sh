#!/usr/bin/env bash
# Makes the Windows installer from the files of the Windows zip with wixl (msitools), from
# data/windows/kelvarin.wxs:
#   scripts/make-msi.sh STAGE_DIR VERSION OUTPUT.msi
# STAGE_DIR holds kelvarin.exe, kelvarin.scr, README.txt and LICENSE.txt; VERSION is the numeric
# version Windows reads (1.6.0, as the programs' version resource says). scripts/windows.sh runs it.
#
# The same inputs give the same bytes. wixl stamps the time of the build into the summary, the
# input files' times into the cabinet and a random package code: so it runs under faketime at
# SOURCE_DATE_EPOCH (the release date when unset) with every input's time set to it, and the
# package code is then set to a UUID made from the package's content. The ProductCode is made from
# the version, so that each version is its own product and the same version is always the same one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -eq 3 && $2 =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || {
  echo "usage: scripts/make-msi.sh STAGE_DIR VERSION(n.n.n) OUTPUT.msi" >&2
  exit 2
}
stage=$1 version=$2 output=$(realpath -m "$3")
export TZ=UTC

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  released=$(sed -n 's/^set(KELVARIN_RELEASE_DATE \([0-9-]*\)).*/\1/p' "$top/CMakeLists.txt")
  SOURCE_DATE_EPOCH=$(date -d "$released" +%s)
fi
at=$(date -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')

# A UUID made from the SHA-256 of standard input, with the version (8, RFC 9562's own layout) and
# variant bits set; upper case, as Windows Installer writes them.
uuid_of() {
  local h
  h=$(sha256sum | cut -c1-32)
  printf '%s-%s-8%s-%x%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" $((0x${h:16:1} & 3 | 8)) \
    "${h:17:3}" "${h:20:12}" | tr a-f A-F
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$stage"/{kelvarin.exe,kelvarin.scr,README.txt,LICENSE.txt} "$top/data/windows/kelvarin.wxs" \
  "$top/data/icons/kelvarin.ico" "$work/"
touch -d "@$SOURCE_DATE_EPOCH" "$work"/*

upgrade_code=$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' "$work/kelvarin.wxs")
product_code=$(printf 'Kelvarin %s %s' "$upgrade_code" "$version" | uuid_of)
(cd "$work" && faketime -f "$at" wixl -a x64 -D Version="$version" -D ProductCode="$product_code" \
  -o kelvarin.msi kelvarin.wxs)

# The package code: first a fixed one, then one made from the package with it.
summary() {
  faketime -f "$at" msibuild "$work/kelvarin.msi" -s Kelvarin "The Kelvarin developers" "x64;1033" "{$1}"
}
summary 00000000-0000-0000-0000-000000000000
summary "$(uuid_of <"$work/kelvarin.msi")"
mv "$work/kelvarin.msi" "$output"
