#!/usr/bin/env bash
# The Windows programs' screenshots: builds the mingw-x64 preset, runs every
# screenshot tool it made (build/mingw-x64/bin/*_win_shots.exe <folder>,
# each writing one BMP file per screen) under Wine, on an Xvfb display when
# DISPLAY is not set, and turns each BMP file into docs/images/<name>.png.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh windows

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset mingw-x64 "${launcher[@]}" >/dev/null
cmake --build --preset mingw-x64

source tools/wine-session.sh

shots=$(mktemp -d)
trap 'rm -rf "$shots"; wine_session_stop' EXIT
found=0
for tool in build/mingw-x64/bin/*_win_shots.exe; do
  [[ -e $tool ]] || continue
  found=1
  echo "== $(basename "$tool") =="
  /usr/lib/wine/wine64 "$tool" "$(/usr/lib/wine/wine64 winepath -w "$shots" 2>/dev/null)" </dev/null
done
if ((found == 0)); then
  echo "No screenshot tool in build/mingw-x64/bin" >&2
  exit 1
fi
mkdir -p docs/images
for bmp in "$shots"/*.bmp; do
  [[ -e $bmp ]] || continue
  png="docs/images/$(basename "${bmp%.bmp}").png"
  python3 tools/bmp-to-png.py "$bmp" "$png"
  echo "$png"
done
