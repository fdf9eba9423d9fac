#!/usr/bin/env bash
# Installs the Debian packages the suite needs to build, test and run, and
# any packages named as arguments, skipping those already installed
# (ansible-core runs the test of the Ansible collection). Runs
# apt-get through sudo when not root. With the argument "windows": what the
# Windows cross builds need instead (MinGW-w64, Wine for 64-bit programs, and
# GoogleTest's sources, a display server and fonts for the dialogs), and
# the packages named after it. With "vm": what tools/test-vm.sh needs (QEMU,
# static busybox, cpio, kmod; udev for the udev rule's check in the guest;
# 32-bit Wine, from the i386 architecture, for the 32-bit Windows build's
# tests in the guest).
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
  # No wine32: these machines run no 32-bit programs (the test VM's guest
  # does, and the "vm" set brings it). Xvfb is the display of the dialog tests and
  # the screenshots; fonts-wine has the fonts the dialogs name; python3
  # turns the screenshots into PNG files.
  packages=(cmake ninja-build mingw-w64 wine wine64 fonts-wine xvfb python3 googletest
            nlohmann-json3-dev "${@:2}")
fi
if [[ ${1:-} == vm ]]; then
  packages=(qemu-system-x86 busybox-static cpio kmod xz-utils udev python3 wine wine32:i386)
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
