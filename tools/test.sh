#!/usr/bin/env bash
# Installs what the build needs, configures the default preset, builds
# everything and runs every test. Under CI=true warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

werror=OFF
if [[ "${CI:-}" == "true" ]]; then werror=ON; fi

cmake --preset default -DSUITE_WERROR=$werror
cmake --build --preset default
ctest --preset default
