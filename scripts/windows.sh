#!/usr/bin/env bash
# Installs what is missing (mingw-w64, zip, wixl), cross-compiles the Windows
# programs with the `windows` preset and makes the release zip and installer:
#   build/windows/kelvarin-VERSION-windows-x64.zip
# with kelvarin.exe, kelvarin.scr (the same program as a screensaver),
# README.txt and LICENSE.txt, and
#   build/windows/kelvarin-VERSION-windows-x64.msi
# which installs the same files (scripts/make-msi.sh). The zip's bytes depend
# on nothing but the sources and the toolchain: members sorted, no extra
# attributes, fixed modes and times (the release date), times read in UTC;
# the installer's likewise.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"

build=build/windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
released=$(sed -n 's/^set(KELVARIN_RELEASE_DATE \([0-9-]*\)).*/\1/p' CMakeLists.txt)
[[ -n "$version" && -n "$released" ]] || { echo "windows.sh: no version or release date" >&2; exit 1; }

stage=$build/zip
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/kelvarin.exe" "$build/kelvarin.scr" "$stage/"
# Text files with Windows line ends, for every editor there.
crlf() { sed 's/\r*$/\r/'; }
sed "s/VERSION/$version/" data/windows/README.txt | crlf >"$stage/README.txt"
cat LICENSE data/windows/runtime-licences.txt | crlf >"$stage/LICENSE.txt"
members=(LICENSE.txt README.txt kelvarin.exe kelvarin.scr)
chmod 644 "$stage"/*.txt
chmod 755 "$stage"/kelvarin.exe "$stage"/kelvarin.scr
TZ=UTC touch -d "$released 00:00:00" "${members[@]/#/$stage/}"

zip_file="kelvarin-$version-windows-x64.zip"
rm -f "$build/$zip_file"
(cd "$stage" && TZ=UTC zip -q -X -9 "../$zip_file" "${members[@]}")

# The installer's version is the programs' version resource's: 1.06 is 1.6.0.
major=$(sed -n 's/^CMAKE_PROJECT_VERSION_MAJOR:STATIC=//p' "$build/CMakeCache.txt")
minor=$(sed -n 's/^CMAKE_PROJECT_VERSION_MINOR:STATIC=//p' "$build/CMakeCache.txt")
msi_file="kelvarin-$version-windows-x64.msi"
scripts/make-msi.sh "$stage" "$((10#$major)).$((10#$minor)).0" "$build/$msi_file"

for file in "$zip_file" "$msi_file" kelvarin.exe; do
  echo "$build/$file: $(stat -c %s "$build/$file") bytes"
done
