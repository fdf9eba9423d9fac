#!/usr/bin/env bash
# In the test VM, as root: the 32-bit Windows build's tests under 32-bit
# Wine, through the emulator the mingw-x86 preset names, with one Wine
# prefix (build/wine32-prefix) and one Wine server for them all. The tests
# that need a screen (those holding the windows_display lock) and the
# windows-static checks (tools/test-windows.sh runs those) are left out.
#
# Wine maps a program's PE image from its file, and mappings of files on a
# 9p share are not coherent (programs jump into their own data and crash),
# so every .exe and .dll of build/mingw-x86 is first copied into the
# guest's tmpfs overlay, at its own path.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/mingw-x86

if [[ ! -f $build/CTestTestfile.cmake ]]; then
  echo "wine32 tests: skipped, $build is not built (tools/test-windows.sh builds it)"
  exit 0
fi
if [[ ! -x /usr/lib/wine/wine ]]; then
  echo "wine32 tests: no 32-bit Wine (/usr/lib/wine/wine); tools/install-deps.sh vm installs wine32:i386" >&2
  exit 1
fi

start=$SECONDS
copied=0
while IFS= read -r -d '' f; do
  cp -p "$f" "$f.tmpfs" && mv -f "$f.tmpfs" "$f"
  copied=$((copied + 1))
done < <(find "$build" -type f \( -name '*.exe' -o -name '*.dll' \) -print0)
echo "wine32 tests: $copied programs and libraries copied to tmpfs"

export WINEPREFIX=$PWD/build/wine32-prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver64 -p
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
# wineboot may end with a non-zero status (53 seen here) and still leave a
# working prefix: the prefix's registry tells.
boot_status=0
timeout 600 /usr/lib/wine/wine wineboot --init </dev/null >/tmp/wineboot.log 2>&1 || boot_status=$?
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "wine32 tests: no Wine prefix (wineboot: status $boot_status)" >&2
  tail -n 20 /tmp/wineboot.log >&2
  exit 1
fi
echo "wine32 tests: prefix ready after $((SECONDS - start)) s"

# The tests to run: every registered one but the screen's and the static ones.
mapfile -t excluded < <(ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, sys
for test in json.load(sys.stdin)["tests"]:
    props = {p["name"]: p["value"] for p in test.get("properties", [])}
    if "windows_display" in props.get("RESOURCE_LOCK", []) or "windows-static" in props.get("LABELS", []):
        print(test["name"])
')
args=()
if ((${#excluded[@]})); then
  regex=$(printf '^%s$|' "${excluded[@]}")
  args=(-E "${regex%|}")
  echo "wine32 tests: left out (a screen, or checked on the machine): ${excluded[*]}"
fi

status=0
ctest --test-dir "$build" "${args[@]}" --output-on-failure --timeout 900 -j2 || status=$?
log=$build/Testing/Temporary/LastTest.log
cases=$(grep -ho '\[  PASSED  \] [0-9]* test' "$log" 2>/dev/null | awk '{sum += $4} END {print sum + 0}')
programs=$(grep -c '^[0-9]*/[0-9]* Test: ' "$log" 2>/dev/null || echo 0)
echo "wine32 tests: $programs test programs, $cases test cases passed, $((SECONDS - start)) s in all"
exit "$status"
