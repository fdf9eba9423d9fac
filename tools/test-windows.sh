#!/usr/bin/env bash
# The Windows builds: installs MinGW-w64 and Wine, cross-builds the presets
# mingw-x64 and mingw-x86 with warnings as errors, runs every test of
# mingw-x64 that needs no screen under Wine, and for mingw-x86 (which Wine
# cannot run on these machines) checks what needs no running: the export
# table of Tandril.dll and a C client linked through its import library.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh windows

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# One Wine server for the whole run: each program then starts in a moment.
export WINEPREFIX="$PWD/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# (A server already running for this prefix serves as well.)
/usr/lib/wine/wineserver64 -p 2>/dev/null || true
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
# Set the prefix up before any test runs, with nothing of ours attached: the
# services a new prefix starts outlive the program that started them, and
# would otherwise hold the test runner's output pipes open until the end.
/usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1

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
