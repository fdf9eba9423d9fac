#!/usr/bin/env bash
# The Windows builds: installs MinGW-w64 and Wine, cross-builds the presets
# mingw-x64 and mingw-x86 with warnings as errors, runs every test of
# mingw-x64 under Wine (the dialog tests on an Xvfb display when DISPLAY is
# not set), and for mingw-x86 (whose tests run under 32-bit Wine in the
# test VM, tools/test-vm.sh: these machines run no 32-bit programs) checks
# what needs no running: the export table of Tandril.dll and a C client
# linked through its import library.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh windows

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The Wine prefix, its server and a display, for the whole run.
source tools/wine-session.sh

for preset in mingw-x64 mingw-x86; do
  echo "== $preset =="
  cmake --preset "$preset" -DSUITE_WERROR=ON "${launcher[@]}"
  cmake --build --preset "$preset"
done

echo "== mingw-x64 tests under Wine =="
start=$(date +%s)
ctest --preset mingw-x64
echo "Wine run: $(( $(date +%s) - start )) s"

echo "== mingw-x86 checks =="
ctest --test-dir build/mingw-x86 -L windows-static --output-on-failure
test -f build/mingw-x86/bin/tandril_c_client.exe
echo "mingw-x86: C client linked through the import library"
