#!/usr/bin/env bash
# Installs what the suite needs, builds Pelorin and Skelmar with the default
# preset and starts Pelorin against a simulated current-generation reader.
# Needs a desktop session. Pelorin's Launch button (shown for an older
# reader, HID_SIMULATION=legacy-reader) starts Skelmar from the same folder.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake --preset default
targets=(pelorin)
if grep -q "add_executable(skelmar" -r legacy_setup 2>/dev/null; then targets+=(skelmar); fi
cmake --build --preset default --target "${targets[@]}"

export HID_SIMULATION="${HID_SIMULATION:-reader}"
exec build/default/bin/pelorin
