#!/usr/bin/env bash
# tools/package.sh [deb] [windows] [ansible]: makes, into build/packages/
# (all three when no argument names one):
# - deb: the Debian packages, with CPack from the release preset: pelorin,
#   pelorin-cli, pelorin-common, libtandril0, libtandril-dev and hiditems.
#   The compiler flags are Debian's (dpkg-buildflags, all hardening on); the
#   programs look for the libraries in the system's folder, without RPATH.
# - windows: the Windows installers pelorin-setup-VERSION-x64.exe and
#   pelorin-setup-VERSION-x86.exe (tools/windows-installer.sh).
# - ansible: the Ansible collection's tarball cardreadersuite-pelorin-VERSION.tar.gz
#   (packaging/ansible, with ansible-galaxy), whose version must be the project's.
set -euo pipefail
cd "$(dirname "$0")/.."

make_deb=1 make_windows=1 make_ansible=1
if (($#)); then
  make_deb=0 make_windows=0 make_ansible=0
  for what in "$@"; do
    case $what in
      deb) make_deb=1 ;;
      windows) make_windows=1 ;;
      ansible) make_ansible=1 ;;
      *) echo "usage: $0 [deb] [windows] [ansible]" >&2; exit 2 ;;
    esac
  done
fi

if ((make_ansible)); then
  tools/install-deps.sh ansible-core
  version=$(sed -n 's/^project(CardReaderSuite VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  collection_version=$(sed -n 's/^version: *//p' packaging/ansible/galaxy.yml)
  if [[ $collection_version != "$version" ]]; then
    echo "package.sh: packaging/ansible/galaxy.yml has version $collection_version, the project $version" >&2
    exit 1
  fi
  mkdir -p build/packages
  rm -f build/packages/cardreadersuite-pelorin-*.tar.gz
  ansible-galaxy collection build packaging/ansible --output-path build/packages
fi

if ((make_windows)); then
  for arch in x64 x86; do
    tools/windows-installer.sh "$arch"
  done
fi
if ((!make_deb)); then exit 0; fi

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

rm -f build/packages/*.deb
cpack --config build/package/CPackConfig.cmake -B build/packages
rm -rf build/packages/_CPack_Packages
ls -1 build/packages/*.deb
