#!/bin/bash
# The test VM's init after switch_root: its root is the machine's own, read
# only, under a tmpfs overlay; /vm-results is the writable share that goes
# back to the machine. Mounts what programs expect, makes the unpacked
# kernel's modules visible at /lib/modules, runs the command that
# tools/test-vm.sh left in /vm-results/command as root in the tree, writes
# its exit status to /vm-results/status and powers the guest off.
tree=$(cd "$(dirname "$0")/../.." && pwd)
results=/vm-results

mount -t proc proc /proc
mount -t sysfs sys /sys
mkdir -p /dev/pts /dev/shm
mount -t devpts -o gid=5,mode=0620,ptmxmode=0666 devpts /dev/pts
mount -t tmpfs -o mode=1777 shm /dev/shm
mount -t tmpfs -o mode=1777 tmp /tmp
mount -t tmpfs -o mode=0755 run /run
[[ -e /dev/fd ]] || ln -s /proc/self/fd /dev/fd
stty -onlcr </dev/console 2>/dev/null || true

kver=$(uname -r)
if [[ -d $tree/build/vm/kernel/lib/modules/$kver ]]; then
  mkdir -p "/lib/modules/$kver"
  mount --bind "$tree/build/vm/kernel/lib/modules/$kver" "/lib/modules/$kver"
fi

hostname test-vm 2>/dev/null || true
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 TERM=dumb
unset DISPLAY
cd "$tree" || exit 1

echo "test-vm: guest ready"
status=127
if [[ -r $results/command ]]; then
  # The command file holds one argument per line, each in printf's %q form.
  mapfile -t quoted <"$results/command"
  eval "command_args=(${quoted[*]})"
  "${command_args[@]}" </dev/null
  status=$?
else
  echo "test-vm: no command given"
fi
echo "$status" >"$results/status"
sync
echo o >/proc/sysrq-trigger
sleep 30
