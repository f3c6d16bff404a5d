#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks it with the ecosystem's validators:
# the version, desktop-file-validate, appstreamcli, xmllint, man, lintian, and that the PNG icons
# are the SVG's. Run as root with CI=true (CI's .ci/run), and when no kelvarin package is installed,
# it also installs the package with apt-get, runs it, runs it under a real mate-screensaver
# (tests/e2e/mate_e2e.sh, with the build's screen_probe), and purges it again, leaving the machine
# as it was even when a step fails.
#   scripts/check-package.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
build=${1:-build/release}

fail() {
  echo "check-package: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$build" >/dev/null
version=$("$build/kelvarin" --version)
version=${version#Kelvarin }
deb="$build/kelvarin_${version}_$(dpkg --print-architecture).deb"
[[ -f $deb ]] || fail "no package $deb for the program's version $version"
[[ $(dpkg-deb --field "$deb" Version) == "$version" ]] || fail "the package's version is not $version"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb --extract "$deb" "$work/root"
share="$work/root/usr/share"
id=io.github.kelvarin.Kelvarin

echo "desktop-file-validate"
out=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1) || true
[[ -z $out ]] || fail "desktop-file-validate: $out"
# The screensaver daemons' entry is in a category of its own, which no menu shows: no hints.
saver=$share/applications/screensavers/kelvarin.desktop
out=$(desktop-file-validate --no-hints "$saver" 2>&1) || true
[[ -z $out ]] || fail "desktop-file-validate: $out"

echo "appstreamcli validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"

echo "xmllint"
xmllint --noout "$share/xscreensaver/config/kelvarin.xml"

echo "man"
MANWIDTH=80 man --warnings -l "$share/man/man6/kelvarin.6.gz" >/dev/null 2>"$work/man.err"
[[ ! -s $work/man.err ]] || fail "the manual page has warnings: $(cat "$work/man.err")"

echo "the files name each other"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the desktop entry's Icon is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo has no release $version"
program=$(sed -n 's/^TryExec=//p' "$saver")
[[ -L $work/root$program && $(sed -n 's/^Exec=//p' "$saver") == "$program --root" ]] ||
  fail "the screensaver entry does not run the package's $program --root"

echo "lintian"
# Lintian only advises against root; errors and warnings fail (docs/packaging.md).
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2)

echo "the PNG icons are the SVG's"
scripts/make-icons.sh "$work"
for size in 48 128 192 256 512; do
  differing=$(compare -metric AE "data/icons/$id-$size.png" "$work/$id-$size.png" null: 2>&1) || true
  [[ $differing == 0 ]] || fail "data/icons/$id-$size.png is out of date: run scripts/make-icons.sh"
done

# The real install cycle: only on a CI machine, as root, with no kelvarin package around.
status=$(dpkg-query --show --showformat='${db:Status-Status}' kelvarin 2>/dev/null || true)
if [[ $(id -u) -ne 0 || ${CI:-} != true || ( -n $status && $status != not-installed ) ]]; then
  echo "install cycle skipped (it runs as root with CI=true and no kelvarin package installed)"
  exit 0
fi
echo "install cycle"

dpkg-query --show --showformat='${binary:Package}\n' | sort >"$work/packages.before"
# The package's paths that exist before it is installed (folders such as /usr/share).
dpkg-deb --fsys-tarfile "$deb" | tar --list | sed -e 's|^\.||' -e 's|/$||' | grep . |
  while read -r path; do
    if [[ -e $path || -L $path ]]; then echo "$path"; fi
  done | sort >"$work/paths.before"

apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=120 "$@" >/dev/null
}
# Whatever happens below: purge the package and whatever it brought along.
restore() {
  local code=$?
  if dpkg-query --show --showformat='${db:Status-Status}' kelvarin 2>/dev/null | grep -qv not-installed; then
    apt_get purge kelvarin || code=1
  fi
  local added
  mapfile -t added < <(dpkg-query --show --showformat='${binary:Package}\n' | sort |
    comm -13 "$work/packages.before" -)
  if [[ ${#added[@]} -gt 0 ]]; then
    apt_get purge "${added[@]}" || code=1
  fi
  rm -rf "$work"
  exit $code
}
trap restore EXIT

apt_get install --no-install-recommends "$(realpath "$deb")"
[[ $(/usr/games/kelvarin --version) == "Kelvarin $version" ]] || fail "/usr/games/kelvarin --version"
[[ $(man -w kelvarin) == /usr/share/man/man6/kelvarin.6.gz ]] || fail "man -w kelvarin"
echo "the screensaver under mate-screensaver"
tests/e2e/mate_e2e.sh "$build/tests/e2e/screen_probe"
dpkg --listfiles kelvarin | sort >"$work/listed"
apt_get purge kelvarin
left=$(comm -23 "$work/listed" "$work/paths.before" | while read -r path; do
  if [[ -e $path || -L $path ]]; then echo "$path"; fi
done)
[[ -z $left ]] || fail "left behind after the purge: $left"
if ! comm -3 "$work/packages.before" <(dpkg-query --show --showformat='${binary:Package}\n' | sort) |
  grep -q .; then
  echo "installed, ran and purged cleanly"
else
  fail "the installed packages changed"
fi
