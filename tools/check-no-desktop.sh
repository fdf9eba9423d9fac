#!/usr/bin/env bash
# Starts a Qt program (pelorin, skelmar) with no display named, as over SSH:
# it must say in one line that it needs a desktop and exit with status 1,
# rather than abort inside Qt. Run by CTest; PROGRAM is the built program.
set -uo pipefail
program=${1:?usage: check-no-desktop.sh PROGRAM}

output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HID_SIMULATION=reader \
  timeout 20 "$program" 2>&1 </dev/null)
status=$?
printf '%s\n' "$output"
if [[ $status -ne 1 ]]; then
  echo "check-no-desktop: exit status $status, not 1" >&2
  exit 1
fi
if [[ $(printf '%s\n' "$output" | wc -l) -ne 1 || $output != *"needs a desktop"*"xvfb-run"* ]]; then
  echo "check-no-desktop: not the one line that names the desktop and xvfb-run" >&2
  exit 1
fi
