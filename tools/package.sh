#!/usr/bin/env bash
# Builds the release preset and makes the Debian packages with CPack, into
# build/packages/: pelorin, libtandril0, libtandril-dev and hiditems. The
# compiler flags are Debian's (dpkg-buildflags, all hardening on); the
# programs look for the libraries in the system's folder, without RPATH.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh dpkg-dev file

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake --preset release -B build/package "${launcher[@]}" \
  -DSUITE_TESTS=OFF -DSUITE_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DSUITE_UDEV_RULES_DIR=/usr/lib/udev/rules.d \
  -DCMAKE_SKIP_INSTALL_RPATH=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_C_FLAGS="$cppflags $(dpkg-buildflags --get CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$cppflags $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build/package --target suite_packaged

rm -rf build/packages
cpack --config build/package/CPackConfig.cmake -B build/packages
rm -rf build/packages/_CPack_Packages
ls -1 build/packages/*.deb
