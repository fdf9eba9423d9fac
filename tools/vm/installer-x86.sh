#!/usr/bin/env bash
# In the test VM, as root: the 32-bit Windows installer under 32-bit Wine
# (tools/test-installer.sh x86), once tools/package.sh has built it. The
# Windows programs the test runs from the build tree are first copied into
# the guest's tmpfs overlay at their own paths: Wine maps a program's image
# from its file, and mappings of files on a 9p share are not coherent.
set -euo pipefail
cd "$(dirname "$0")/../.."

shopt -s nullglob
installers=(build/packages/pelorin-setup-*-x86.exe)
if ((${#installers[@]} == 0)); then
  echo "x86 installer: skipped, tools/package.sh has not built it"
  exit 0
fi
for f in "${installers[@]}" build/package-mingw-x86/bin/*.exe build/package-mingw-x86/bin/*.dll \
         build/mingw-x86/bin/win-startup-time.exe; do
  [[ -f $f ]] && cp -p "$f" "$f.tmpfs" && mv -f "$f.tmpfs" "$f"
done
unset DISPLAY
exec tools/test-installer.sh x86 /usr/lib/wine/wine /usr/lib/wine/wineserver64
