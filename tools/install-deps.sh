#!/usr/bin/env bash
# Installs the Debian packages the suite needs to build, test and run, and
# any packages named as arguments, skipping those already installed
# (ansible-core runs the test of the Ansible collection). Runs
# apt-get through sudo when not root. With the argument "windows": what the
# Windows cross builds need instead (MinGW-w64, Wine for 64-bit programs, and
# GoogleTest's sources, a display server and fonts for the dialogs), and
# the packages named after it.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  libfuse3-dev fuse3
  clang libclang-rt-14-dev
  librsvg2-bin
  ansible-core
  "$@"
)
if [[ ${1:-} == windows ]]; then
  # No wine32: these machines run no 32-bit programs, so the 32-bit build is
  # checked without running it. Xvfb is the display of the dialog tests and
  # the screenshots; fonts-wine has the fonts the dialogs name; python3
  # turns the screenshots into PNG files.
  packages=(cmake ninja-build mingw-w64 wine wine64 fonts-wine xvfb python3 googletest
            nlohmann-json3-dev "${@:2}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
