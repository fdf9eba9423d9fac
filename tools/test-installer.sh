#!/usr/bin/env bash
# tools/test-installer.sh ARCH [WINE [WINESERVER]]: tests the Windows
# installer build/packages/pelorin-setup-*-ARCH.exe (ARCH x64 or x86) under
# Wine, in a prefix of its own (build/wine-installer-ARCH, made anew):
# 1. a silent install (/S /DEVELOPMENT /D=folder with a space in its name):
#    the programs, Tandril.dll, the developer's files, the uninstaller, the
#    Start-menu shortcuts and the entry under installed programs are there;
# 2. pelorin-cli.exe from the installed folder on a simulated reader that
#    keeps its settings in a state file: status, a write, and a second run
#    that reads the written language back;
# 3. Pelorin.exe from the installed folder on the simulated reader: its
#    window appears and is closed (win-startup-time.exe of the same
#    architecture's build, or the path in $STARTUP_TOOL);
# 4. a silent uninstall: no file of the installation, no shortcut and no
#    registry entry remain, and nothing else new in the prefix's drive C
#    but Wine's own files.
# WINE is the loader (default /usr/lib/wine/wine64; a 32-bit Wine runs only
# the x86 installer), WINESERVER its server (default: beside it). Each Wine
# call has a time limit. Prints how long the whole test took.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${1:-}
[[ $arch == x64 || $arch == x86 ]] || { echo "usage: $0 x64|x86 [WINE [WINESERVER]]" >&2; exit 2; }
wine=${2:-/usr/lib/wine/wine64}
server=${3:-$(dirname "$wine")/$(basename "$wine" | sed 's/^wine/wineserver/')}
command -v "$wine" >/dev/null || { echo "no Wine at $wine" >&2; exit 2; }
command -v "$server" >/dev/null || { echo "no Wine server at $server" >&2; exit 2; }

shopt -s nullglob
installers=(build/packages/pelorin-setup-*-"$arch".exe)
((${#installers[@]} == 1)) || { echo "expected one build/packages/pelorin-setup-*-$arch.exe (tools/package.sh windows)" >&2; exit 1; }
installer=$PWD/${installers[0]}
startup_tool=${STARTUP_TOOL:-}
for candidate in build/package-mingw-"$arch"/bin/win-startup-time.exe build/mingw-"$arch"/bin/win-startup-time.exe; do
  [[ -z $startup_tool && -f $candidate ]] && startup_tool=$PWD/$candidate
done
[[ -n $startup_tool ]] || { echo "no win-startup-time.exe for $arch (set STARTUP_TOOL)" >&2; exit 1; }

started=$(date +%s)
prefix=$PWD/build/wine-installer-$arch
"$server" -k 2>/dev/null || true
rm -rf "$prefix"
wine_session_prefix=$prefix wine_session_wine=$wine wine_session_server=$server
if [[ $arch == x86 && $(basename "$wine") != *64 ]]; then export WINEARCH=win32; fi
source tools/wine-session.sh
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT

fail() {
  echo "test-installer: $*" >&2
  exit 1
}
run() {  # a Windows program, at most 120 s; its output without CRs
  timeout 120 "$wine" "$@" </dev/null 2>"$work/stderr" | tr -d '\r'
}
gone() {  # waits up to 120 s until the uninstaller, which runs on from a copy of itself, is done
  for _ in $(seq 240); do
    if [[ ! -e $unix_folder ]] && ! run reg query "$key" "$regview" >/dev/null 2>&1; then return 0; fi
    sleep 0.5
  done
  return 1
}
snapshot() {  # the files of drive C, without Wine's own volatile folders
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path './users/*/AppData/Local/Temp' -prune \
    -o -path './users/*/Temp' -prune -o -print | sort)
}

drive_c=$WINEPREFIX/drive_c
folder='C:\Pelorin Till'
unix_folder=$drive_c/Pelorin\ Till
startmenu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Pelorin
regview=/reg:64
[[ $arch == x86 ]] && regview=/reg:32
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelorin'

# /D= must reach the installer unquoted, spaces and all, which Wine's own
# argument quoting does not allow: cmd passes the line as it is.
cp "$installer" "$drive_c/pelorin-setup.exe"
snapshot >"$work/before"

echo "== silent install into $folder"
run cmd /c "C:\pelorin-setup.exe /S /DEVELOPMENT /D=$folder" >/dev/null || fail "the installer failed"
for file in Pelorin.exe Skelmar.exe pelorin-cli.exe Tandril.dll libhidhost.dll uninstall.exe \
            include/tandril.h lib/libTandril.dll.a; do
  [[ -f $unix_folder/$file ]] || fail "$file was not installed"
done
ls -l "$unix_folder"
for link in Pelorin.lnk Skelmar.lnk; do
  [[ -f $startmenu/$link ]] || fail "no Start-menu shortcut $link"
done
entry=$(run reg query "$key" "$regview") || fail "no entry under installed programs"
grep -q 'UninstallString.*uninstall.exe' <<<"$entry" || fail "the entry names no uninstaller: $entry"
grep -q 'DisplayName.*Pelorin' <<<"$entry" || fail "the entry has no name: $entry"

echo "== pelorin-cli.exe from the installed folder"
cat >"$work/devices.json" <<'JSON'
{"devices": [{"preset": "reader", "state_file": "state.json"}]}
JSON
export HID_SIMULATION
HID_SIMULATION=$("$wine" winepath -w "$work/devices.json" 2>/dev/null | tr -d '\r')
cli="$folder\\pelorin-cli.exe"
status=$(run "$cli" status) || fail "pelorin-cli status failed: $(cat "$work/stderr")"
echo "$status"
grep -q 'pid_2420' <<<"$status" || fail "pelorin-cli status did not list the simulated reader"
run "$cli" --yes set language French >/dev/null || fail "pelorin-cli set failed: $(cat "$work/stderr")"
language=$(run "$cli" language) || fail "pelorin-cli language failed: $(cat "$work/stderr")"
echo "$language"
grep -q 'Current language setting is French' <<<"$language" ||
  fail "a second run of pelorin-cli did not find the language the first one wrote"

echo "== Pelorin.exe from the installed folder"
HID_SIMULATION=reader
run "$startup_tool" "$folder\\Pelorin.exe" "KAVRO USB KB (QV5) Utility v1.2" 1 ||
  fail "Pelorin.exe showed no window: $(cat "$work/stderr")"
unset HID_SIMULATION

echo "== silent uninstall"
run "$folder\\uninstall.exe" /S >/dev/null || fail "the uninstaller failed"
if ! gone; then
  [[ ! -e $unix_folder ]] || fail "left behind: $(find "$unix_folder")"
  fail "the entry under installed programs is left behind"
fi
[[ ! -e $startmenu ]] || fail "the Start-menu folder is left behind"
snapshot >"$work/after"
if ! diff "$work/before" "$work/after" >"$work/diff"; then
  grep '^>' "$work/diff" && fail "files left behind in drive C"
fi
echo "installer test ($arch) passed in $(( $(date +%s) - started )) s"
