#!/usr/bin/env bash
# Installs the Debian packages that Kelvarin needs and that are missing.
#   scripts/setup.sh            what building and running the program needs
#   scripts/setup.sh --package  also what building the Debian package needs
#   scripts/setup.sh --test     also what the tests, the fuzzer, the benchmarks and the package's
#                               validators need, the web page's and the Windows build's included,
#                               and mate-screensaver with a session bus and dconf for the
#                               package's screensaver check
#   scripts/setup.sh --web      only what building the web page needs (scripts/web.sh)
#   scripts/setup.sh --windows  only what cross-compiling the Windows zip and installer needs
#                               (scripts/windows.sh): mingw-w64, zip, wixl and msitools, faketime;
#                               no Qt
#   scripts/setup.sh --release  what making a release needs (scripts/release.sh): the package's,
#                               the web page's and the Windows build's
# Only the installation runs as root (through sudo when you are not root).
set -euo pipefail
mode=${1:-}

# libx11-dev, libxext-dev and libxrandr-dev (the monitors) build the screensaver
# modes; qt6-wayland lets the window run natively under a Wayland compositor.
program=(cmake ninja-build g++ qt6-base-dev libgl-dev libgif-dev libx11-dev libxext-dev
         libxrandr-dev qt6-wayland)
# emscripten compiles the web page and brings node along (npm only with --test, when missing).
web=(cmake ninja-build emscripten)
# The Windows build: mingw-w64's C++ compiler with POSIX threads (GCC 12) and
# its binutils (windres), zip for the release zip, wixl and msitools for the
# installer and faketime to fix the time wixl stamps. wine64 runs the 64-bit
# programs in the tests without i386 packages.
windows=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 zip wixl msitools
         faketime)

case "$mode" in
  --web) packages=("${web[@]}") ;;
  --windows) packages=("${windows[@]}") ;;
  "" | --package | --test | --release) packages=("${program[@]}") ;;
  *)
    echo "usage: scripts/setup.sh [--package | --test | --web | --windows | --release]" >&2
    exit 2
    ;;
esac
if [[ $mode == --package || $mode == --test || $mode == --release ]]; then
  packages+=(dpkg-dev file)
fi
if [[ $mode == --release ]]; then
  packages+=("${web[@]}" "${windows[@]}")
fi
if [[ $mode == --test ]]; then
  # libmpfr-dev: the trigonometry's checks against MPFR (tests and bench).
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev libmpfr-dev clang-14 libclang-rt-14-dev
             clang-format xvfb xauth openbox xdotool imagemagick x11-utils x11-xserver-utils strace
             procps weston
             lintian appstream desktop-file-utils libxml2-utils man-db librsvg2-bin binutils time
             "${web[@]}" chromium "${windows[@]}" wine wine64
             mate-screensaver dbus dconf-gsettings-backend libglib2.0-bin)
  # node may be Debian's or one installed otherwise, with its own npm.
  if ! command -v node >/dev/null; then
    packages+=(nodejs)
  fi
  if ! command -v npm >/dev/null; then
    packages+=(npm)
  fi
fi
# python3 serves the web page.
if [[ $mode == --web || $mode == --test ]] && ! command -v python3 >/dev/null; then
  packages+=(python3)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  as_root=(sudo)
fi
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
