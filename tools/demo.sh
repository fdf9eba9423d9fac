#!/usr/bin/env bash
# Installs what the suite needs, builds Pelorin and Skelmar with the default
# preset and starts Pelorin against a simulated current-generation reader.
# Needs a desktop session. Pelorin's Launch button (shown for an older
# reader, HID_SIMULATION=legacy-reader) starts Skelmar from the same folder.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake --preset default
cmake --build --preset default --target pelorin skelmar

export HID_SIMULATION="${HID_SIMULATION:-reader}"
exec build/default/bin/pelorin
