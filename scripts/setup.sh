#!/usr/bin/env bash
# Installs the Debian packages that Kelvarin needs and that are missing.
#   scripts/setup.sh         what building and running the program needs
#   scripts/setup.sh --test  also what the tests, the fuzzer and the benchmarks need
# Only the installation runs as root (through sudo when you are not root).
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev clang-format
             xvfb xauth openbox xdotool imagemagick x11-utils strace procps libx11-dev binutils time)
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
