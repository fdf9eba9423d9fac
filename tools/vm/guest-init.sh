#!/bin/bash
# The test VM's init after switch_root (tools/vm/initramfs-init has mounted
# everything): its root is the machine's own, read only, under a tmpfs
# overlay; /vm-results is the writable share that goes back to the machine.
# Runs the command that tools/test-vm.sh left in /vm-results/command as root
# in the tree, writes its exit status to /vm-results/status and powers the
# guest off.
tree=$(cd "$(dirname "$0")/../.." && pwd)
results=/vm-results

export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 TERM=dumb
unset DISPLAY
cd "$tree" || exit 1

echo "test-vm: guest ready after $(cut -d' ' -f1 /proc/uptime) s of uptime"
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
# Power-off runs on its own; meanwhile init waits without starting a
# program, as the root it would come from is going away.
echo o >/proc/sysrq-trigger
read -r -t 30 _ </dev/console || true
