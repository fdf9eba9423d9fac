#!/usr/bin/env bash
# The checks tools/test-vm.sh runs in the guest by default, as root in the
# tree: the tests labelled "kernel" of the default build (hidraw, uhid and
# the programs against a real kernel), the udev rule under systemd-udevd,
# the 32-bit Windows build's tests and its installer under 32-bit Wine. Runs every check,
# prints how long each took, and fails if any failed.
set -uo pipefail
cd "$(dirname "$0")/../.."

failed=()
check() {
  local name=$1 start=$SECONDS
  shift
  echo "== vm: $name =="
  if "$@"; then
    echo "== vm: $name passed in $((SECONDS - start)) s =="
  else
    echo "== vm: $name FAILED after $((SECONDS - start)) s =="
    failed+=("$name")
  fi
}

kernel_tests() {
  if [[ ! -f build/default/CTestTestfile.cmake ]]; then
    echo "build/default is not built (tools/test.sh builds it)" >&2
    return 1
  fi
  # No test labelled "kernel" is not a failure.
  ctest --test-dir build/default -L kernel --output-on-failure --timeout 120 --no-tests=ignore
}

check "kernel tests" kernel_tests
check "udev rule" tools/vm/udev-check.sh
check "32-bit Windows tests" tools/vm/wine32-tests.sh
check "32-bit Windows installer" tools/vm/installer-x86.sh

if ((${#failed[@]})); then
  echo "vm: failed: ${failed[*]}"
  exit 1
fi
echo "vm: all checks passed"
