#!/usr/bin/env bash
# In the test VM, as root: the readers' udev rule under a real
# systemd-udevd. Installs platform/linux/udev/70-card-readers.rules, starts
# udevd, makes a keyboard first (another vendor) and then a reader
# (hid-emulate's "reader" when it is built, otherwise a plain device with the
# readers' vendor from tools/vm/uhid-device.py), and checks with udevadm that
# the reader's hidraw nodes carry the rule's "uaccess" tag, that no other
# hidraw node does, and that every node stays root-owned and not
# world-writable. Skips (status 0, saying why) where udevd or /dev/uhid is
# missing.
set -euo pipefail
cd "$(dirname "$0")/../.."

udevd=""
for f in /lib/systemd/systemd-udevd /usr/lib/systemd/systemd-udevd; do
  [[ -x $f ]] && udevd=$f && break
done
if [[ -z $udevd ]] || ! command -v udevadm >/dev/null; then
  echo "udev check: skipped, no systemd-udevd (Debian package udev)"
  exit 0
fi
if [[ ! -c /dev/uhid ]]; then
  echo "udev check: skipped, no /dev/uhid"
  exit 0
fi

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  udevadm control --exit 2>/dev/null || true
}
trap cleanup EXIT

install -m 0644 platform/linux/udev/70-card-readers.rules /etc/udev/rules.d/
mkdir -p /run/udev
"$udevd" --daemon
udevadm control --reload

out=$(mktemp -d)
# Starts a device maker in the background, and waits for the first hidraw
# node it prints (it prints one line per interface).
start_device() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 &
  pids+=($!)
  local i
  for i in $(seq 200); do
    grep -q '/dev/hidraw[0-9]' "$log" && return 0
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  echo "udev check: no hidraw node from: $*" >&2
  cat "$log" >&2
  return 1
}

start_device "$out/keyboard" python3 tools/vm/uhid-device.py keyboard 0x04d9 0x1702 --seconds 120
emulator=build/default/bin/hid-emulate
if [[ -x $emulator ]]; then
  start_device "$out/reader" "$emulator" reader --seconds 120
  # It makes the interfaces one after another, a line for each: wait until
  # no line has come for two seconds.
  lines=0 quiet=0
  while ((quiet < 10)); do
    now=$(wc -l <"$out/reader")
    if ((now == lines)); then quiet=$((quiet + 1)); else lines=$now quiet=0; fi
    sleep 0.2
  done
else
  echo "udev check: hid-emulate is not built; the reader is a plain device with its vendor"
  start_device "$out/reader" python3 tools/vm/uhid-device.py vendor 0x1c5e 0x2420 --seconds 120
fi

udevadm trigger --subsystem-match=hidraw --action=add
udevadm settle --timeout=60

mapfile -t reader_nodes < <(grep -o '/dev/hidraw[0-9]*' "$out/reader" | sort -u)
failures=0
for sys in /sys/class/hidraw/hidraw*; do
  node=/dev/$(basename "$sys")
  tags=$(udevadm info --query=property --name="$node" | sed -n 's/^TAGS=//p')
  read -r owner group mode < <(stat -c '%U %G %a' "$node")
  is_reader=0
  [[ " ${reader_nodes[*]} " == *" $node "* ]] && is_reader=1
  has_tag=0
  [[ $tags == *:uaccess:* ]] && has_tag=1
  verdict=ok
  if ((is_reader != has_tag)); then verdict=FAIL; fi
  # Root's always, never writable by everyone; the group plugdev (logins
  # over SSH) on a reader's node only.
  if [[ $owner != root || $((8#$mode & 2)) -ne 0 ]]; then verdict=FAIL; fi
  if ((is_reader)) && [[ $group != plugdev || $((8#$mode & 8#060)) -ne 8#060 ]]; then verdict=FAIL; fi
  if ((!is_reader)) && [[ $group == plugdev ]]; then verdict=FAIL; fi
  echo "udev check: $node reader=$is_reader tags=${tags:-none} owner/group/mode=$owner $group $mode: $verdict"
  [[ $verdict == ok ]] || failures=$((failures + 1))
done
if ((${#reader_nodes[@]} == 0)); then
  echo "udev check: the reader has no node" >&2
  failures=$((failures + 1))
fi
if ((failures)); then
  echo "udev check: $failures node(s) wrong" >&2
  exit 1
fi
echo "udev check: passed (${#reader_nodes[@]} reader node(s) tagged, the others not)"
