#!/usr/bin/env bash
# Installs the Debian packages that Kelvarin needs and that are missing.
#   scripts/setup.sh         what building and running the program needs
#   scripts/setup.sh --package  also what building the Debian package needs
#   scripts/setup.sh --test  also what the tests, the fuzzer, the benchmarks and the package's
#                            validators need, the Windows build and Wine, the web page and
#                            Chromium among them
#   scripts/setup.sh --windows  only what cross-compiling the Windows zip needs
#                            (scripts/windows.sh): mingw-w64 and zip, no Qt
#   scripts/setup.sh --web   only what building the web page needs (scripts/web.sh), no Qt
# Only the installation runs as root (through sudo when you are not root).
set -euo pipefail

# libx11-dev and libxext-dev build the screensaver modes; qt6-wayland lets the
# window run natively under a Wayland compositor.
packages=(cmake ninja-build g++ qt6-base-dev libgl-dev libgif-dev libx11-dev libxext-dev qt6-wayland)
# The Windows build: mingw-w64's C++ compiler with POSIX threads (GCC 12) and
# its binutils (windres), and zip for the release zip. wine64 runs the 64-bit
# programs in the tests without i386 packages.
windows=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 zip)
# The web page: emscripten, which brings node along (npm only with --test, when missing).
web=(emscripten)
if [[ "${1:-}" == "--windows" ]]; then
  packages=(cmake ninja-build "${windows[@]}")
elif [[ "${1:-}" == "--web" ]]; then
  packages=(cmake ninja-build "${web[@]}")
fi
if [[ "${1:-}" == "--package" || "${1:-}" == "--test" ]]; then
  packages+=(dpkg-dev file)
fi
if [[ "${1:-}" == "--test" ]]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev clang-format
             xvfb xauth openbox xdotool imagemagick x11-utils strace procps weston
             lintian appstream desktop-file-utils libxml2-utils man-db librsvg2-bin binutils time
             "${windows[@]}" wine wine64 "${web[@]}" chromium)
  # node may be Debian's or one installed otherwise, with its own npm.
  if ! command -v npm >/dev/null; then
    packages+=(npm)
  fi
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
