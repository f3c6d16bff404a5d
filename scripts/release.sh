#!/usr/bin/env bash
# Makes a release of the commit checked out: installs what is missing, then writes
#   build/release-VERSION/kelvarin-VERSION.tar.gz              the source (git archive)
#   build/release-VERSION/kelvarin_VERSION_ARCH.deb            the Debian package
#   build/release-VERSION/kelvarin-VERSION-windows-x64.zip     the Windows programs
#   build/release-VERSION/kelvarin-VERSION-windows-x64.msi     their installer
#   build/release-VERSION/kelvarin-VERSION-web.zip             the web site
#   build/release-VERSION/SHA256SUMS
# Every artifact is built from the unpacked source archive, so what is released is what the
# archive holds, and the same commit gives the same bytes, whenever and wherever it is built:
# times come from the commit (SOURCE_DATE_EPOCH), archives list their members sorted with fixed
# owners, and no build folder's path gets into a binary.
#   scripts/release.sh [OUTPUT_DIR]     (default build/release-VERSION)
# It refuses a work tree with uncommitted changes.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "release: $*" >&2
  exit 1
}

[[ -z $(git status --porcelain) ]] ||
  fail "the work tree has uncommitted changes; commit or stash them first"

# The version, from the one place the build takes it from.
version=$(sed -n 's/^project(kelvarin VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no version in CMakeLists.txt's project()"
out=$(realpath -m "${1:-build/release-$version}")

scripts/setup.sh --release

export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export TZ=UTC LC_ALL=C
umask 022

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$out"
mkdir -p "$out"

name=kelvarin-$version
echo "== source"
git archive --format=tar --prefix="$name/" HEAD | gzip -9n >"$out/$name.tar.gz"
tar -xzf "$out/$name.tar.gz" -C "$work"
source=$work/$name
# Every compiler sees the source folder as "." and the build folder as "build".
export CXXFLAGS="-ffile-prefix-map=$source=."

echo "== deb"
(
  cd "$source"
  cmake --preset release -DKELVARIN_TESTS=OFF >/dev/null
  cmake --build --preset release
  cpack --config build/release/CPackConfig.cmake -B build/release >/dev/null
)
cp "$source"/build/release/kelvarin_"$version"_*.deb "$out/"

echo "== windows"
(cd "$source" && scripts/windows.sh)
cp "$source/build/windows/$name-windows-x64".{zip,msi} "$out/"

echo "== web"
(cd "$source" && scripts/web.sh --build-only)
# The site in a folder of the release's name, its files with the commit's time, stored sorted,
# without owners or extra fields.
cp -R "$source/build/web/site" "$work/$name-web"
find "$work/$name-web" -exec touch --date="@$SOURCE_DATE_EPOCH" {} +
(cd "$work" && find "$name-web" -print | sort | zip -X -D -q "$out/$name-web.zip" -@)

(cd "$out" && sha256sum -- *.tar.gz *.deb *.msi *.zip >SHA256SUMS)
echo "== $out"
cat "$out/SHA256SUMS"
