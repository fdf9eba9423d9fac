#!/usr/bin/env bash
# Checks the Debian packages that tools/package.sh made in build/packages/:
# lintian reports no error or warning (those it may report are overridden
# with their reason in packaging/debian/), the desktop entries and AppStream
# metadata validate, every program has its man page and every desktop entry
# its icons, the udev rule sits in udev's own folder and leaves the nodes
# closed to everyone else, pelorin-cli needs no Qt, the programs run from
# the packages unpacked into a temporary root, and a program builds against
# the development package there.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh lintian desktop-file-utils appstream

fail() {
  echo "check-packages: $*" >&2
  exit 1
}

for package in pelorin pelorin-cli pelorin-common libtandril0 libtandril-dev hiditems; do
  compgen -G "build/packages/${package}_*.deb" >/dev/null || fail "no $package package"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
for deb in build/packages/*.deb; do
  echo "== $(basename "$deb")"
  dpkg-deb --field "$deb" Package Version Depends
  dpkg-deb -x "$deb" "$root"
done

echo "== desktop entries and AppStream metadata"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
for entry in "$root"/usr/share/applications/*.desktop; do
  icon=$(sed -n 's/^Icon=//p' "$entry")
  for size in 16 22 24 32 48 64 128 256; do
    [[ -f $root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png ]] ||
      fail "no ${size}x${size} icon for $(basename "$entry")"
  done
done

echo "== pelorin-cli without Qt"
# Its own dependencies and those of the suite's packages it depends on.
cli_depends=$(dpkg-deb --field build/packages/pelorin-cli_*.deb Depends)
for own in $(grep -o 'libtandril0\|pelorin-common' <<<"$cli_depends" | sort -u); do
  cli_depends+=", $(dpkg-deb --field build/packages/"${own}"_*.deb Depends)"
done
if grep -io '[^ ,]*qt[^ ,]*' <<<"$cli_depends"; then
  fail "pelorin-cli depends on Qt"
fi
grep -q ' ./usr/bin/pelorin-cli$' <<<"$(dpkg-deb -c build/packages/pelorin-cli_*.deb)" ||
  fail "pelorin-cli is not in its own package"
for package in pelorin pelorin-cli; do
  dpkg-deb --field build/packages/"${package}"_*.deb Depends | grep -q 'pelorin-common' ||
    fail "$package does not depend on pelorin-common, which holds the udev rule"
done

echo "== man pages, udev rule, libraries"
for program in "$root"/usr/bin/*; do
  [[ -f $root/usr/share/man/man1/$(basename "$program").1.gz ]] ||
    fail "no man page for $(basename "$program")"
done
[[ -f $root/usr/lib/udev/rules.d/70-card-readers.rules ]] ||
  fail "the udev rule is not in /usr/lib/udev/rules.d"
grep -q '/usr/lib/udev/rules.d/70-card-readers.rules$' <<<"$(dpkg-deb -c build/packages/pelorin-common_*.deb)" ||
  fail "the udev rule is not in pelorin-common"
rule=$(grep -v '^#' "$root/usr/lib/udev/rules.d/70-card-readers.rules")
grep -q 'GROUP="plugdev"' <<<"$rule" || fail "the udev rule gives the group plugdev no access"
grep -q 'TAG+="uaccess"' <<<"$rule" || fail "the udev rule lost its uaccess tag"
if grep -Eq 'MODE="?[0-7]*[1-7]"?([ ,]|$)' <<<"$rule"; then  # the last digit: everyone else
  fail "the udev rule opens the nodes to everyone"
fi
libdir=$(dirname "$(find "$root/usr/lib" -name libtandril.so.0)")
for program in "$root"/usr/bin/*; do
  if LD_LIBRARY_PATH=$libdir ldd "$program" | grep 'not found'; then
    fail "$(basename "$program") misses a library"
  fi
done

echo "== hiditems list, from the unpacked packages"
listing=$(HID_SIMULATION=ups LD_LIBRARY_PATH=$libdir "$root/usr/bin/hiditems" list)
echo "$listing"
grep -Eq '^ +0 +3b1d 0a15 ' <<<"$listing" || fail "hiditems list did not show the simulated UPS"

echo "== a program built against libtandril-dev"
consumer=$root/consumer-build
cmake -S packaging/tests/consumer -B "$consumer" -G Ninja -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
cmake --build "$consumer" >/dev/null
[[ $(HID_SIMULATION=ups LD_LIBRARY_PATH=$libdir "$consumer/tandril-consumer") == "3b1d 0a15" ]] ||
  fail "the program built with the CMake package did not find the simulated UPS"
PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs tandril

echo "== lintian"
lintian --fail-on error,warning --info build/packages/*.deb
echo "packages checked"
