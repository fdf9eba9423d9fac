#!/usr/bin/env bash
# Builds the screenshot tool with the default preset and renders Pelorin's
# screens into docs/images/.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset default >/dev/null
cmake --build --preset default --target pelorin_screenshots
build/default/bin/pelorin_screenshots docs/images
