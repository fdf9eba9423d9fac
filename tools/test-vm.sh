#!/usr/bin/env bash
# The test VM: Debian's own kernel under qemu-system-x86_64, with the
# machine's root as the guest's root (read-only over virtio-9p, a tmpfs
# overlay on top), so the guest runs the build tree's programs as they are
# with a real hid-core, hidraw and /dev/uhid.
#
#   tools/test-vm.sh                  the checks of tools/vm/checks.sh
#   tools/test-vm.sh run -- CMD ARGS  runs CMD as root in the guest, in the
#                                     tree, and exits with its status
#
# The kernel package (linux-image-amd64 and the image it depends on) is
# downloaded with apt-get into build/vm/ and unpacked there, never installed.
# The guest's console is streamed to standard output and kept, with the exit
# status, in build/vm/last/. KVM is tried first; when its guest does not
# reach the initramfs within TEST_VM_KVM_WAIT seconds (default 20), QEMU
# is stopped, TCG takes over and build/vm/kvm-fails keeps later runs on TCG
# for that kernel. TEST_VM_ACCEL=kvm or tcg forces one. The whole run is limited to TEST_VM_TIMEOUT seconds
# (default 1500): a guest that hangs fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$PWD
vm=$tree/build/vm

usage() {
  echo "usage: tools/test-vm.sh [run -- COMMAND [ARGS...]]" >&2
  exit 2
}

command_args=(tools/vm/checks.sh)
case ${1:-} in
  "") ;;
  run)
    shift
    [[ ${1:-} == -- ]] && shift
    (($# > 0)) || usage
    command_args=("$@")
    ;;
  -h | --help) usage ;;
  *) usage ;;
esac

if [[ $tree == *[[:space:]]* ]]; then
  echo "test-vm: the tree's path must not contain spaces: $tree" >&2
  exit 2
fi

tools/install-deps.sh vm

# The uncompressed kernel inside a bzImage (xz), which QEMU starts through
# its PVH entry: under TCG that saves the minute the kernel would spend
# decompressing itself. Without it the bzImage is started as it is.
extract_vmlinux() {
  local image=$1 out=$2 offset
  offset=$(python3 -c 'import sys; print(open(sys.argv[1], "rb").read().find(b"\xfd7zXZ\x00"))' "$image")
  if ((offset >= 0)); then
    tail -c +$((offset + 1)) "$image" | xz -dc --single-stream >"$out.tmp" 2>/dev/null || true
    if [[ $(head -c 4 "$out.tmp" 2>/dev/null) == $'\x7fELF' ]]; then
      mv "$out.tmp" "$out"
      return
    fi
  fi
  rm -f "$out.tmp"
}

# The kernel: the image linux-image-amd64 depends on, unpacked into
# build/vm/kernel with its modules' dependency lists.
fetch_kernel() {
  if [[ -s $vm/kernel/.version ]]; then
    return
  fi
  local image
  image=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-/ {print $2; exit}')
  if [[ -z $image ]]; then
    echo "test-vm: apt-cache names no kernel image for linux-image-amd64" >&2
    exit 1
  fi
  echo "test-vm: downloading $image"
  rm -rf "$vm/debs" "$vm/kernel" "$vm/kernel.tmp"
  mkdir -p "$vm/debs"
  (cd "$vm/debs" && apt-get download -q linux-image-amd64 "$image" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
  local deb
  deb=$(ls "$vm/debs/$image"_*.deb 2>/dev/null | head -n1)
  if [[ -z $deb ]]; then
    echo "test-vm: apt-get download $image failed" >&2
    exit 1
  fi
  dpkg -x "$deb" "$vm/kernel.tmp"
  local kver
  kver=$(ls "$vm/kernel.tmp/lib/modules" | head -n1)
  depmod -b "$vm/kernel.tmp" "$kver"
  echo "$kver" >"$vm/kernel.tmp/.version"
  mv "$vm/kernel.tmp" "$vm/kernel"
}

# The initramfs: static busybox, tools/vm/initramfs-init as /init, and the
# modules it loads (virtio, 9p, overlay, HID, uhid, evdev) in dependency
# order.
build_initramfs() {
  local kver=$1 root=$vm/initramfs
  rm -rf "$root"
  mkdir -p "$root/bin" "$root/modules" "$root/proc" "$root/sys" "$root/dev"
  cp /bin/busybox "$root/bin/busybox"
  cp tools/vm/initramfs-init "$root/init"
  local m path seen=" "
  : >"$root/modules/order"
  for m in virtio_pci virtio_console 9pnet_virtio 9p overlay hid hid_generic uhid evdev; do
    while read -r path; do
      [[ $seen == *" $path "* ]] && continue
      seen+="$path "
      cp "$path" "$root/modules/"
      basename "$path" >>"$root/modules/order"
    done < <(modprobe -d "$vm/kernel" -S "$kver" --show-depends "$m" | awk '$1 == "insmod" {print $2}')
  done
  (cd "$root" && find . | LC_ALL=C sort | cpio -o -H newc --quiet) >"$vm/initramfs.cpio"
}

fetch_kernel
kver=$(cat "$vm/kernel/.version")
kernel=$vm/kernel/vmlinux
[[ -f $kernel ]] || extract_vmlinux "$vm/kernel/boot/vmlinuz-$kver" "$kernel"
[[ -f $kernel ]] || kernel=$vm/kernel/boot/vmlinuz-$kver
build_initramfs "$kver"

results=$vm/last
rm -rf "$results"
mkdir -p "$results"
printf '%q\n' "${command_args[@]}" >"$results/command"

total_limit=${TEST_VM_TIMEOUT:-1500}
kvm_wait=${TEST_VM_KVM_WAIT:-20}
boot_limit=120
qemu_pid=""
tail_pid=""
# A guest that hangs may not stop on SIGTERM: it gets SIGKILL. (QEMU is
# disowned once started, so that bash does not report how it ended: the
# script says that itself.)
stop_guest() {
  if [[ -n $qemu_pid ]]; then
    kill -KILL "$qemu_pid" 2>/dev/null || true
    timeout 10 tail --pid="$qemu_pid" -f /dev/null || true
  fi
  if [[ -n $tail_pid ]]; then
    kill "$tail_pid" 2>/dev/null || true
    wait "$tail_pid" 2>/dev/null || true
  fi
  qemu_pid="" tail_pid=""
}
trap stop_guest EXIT

# Starts the guest with the given accelerator; returns 0 once its init has
# printed its first line, 1 if it did not within the given seconds (the
# guest is then stopped).
boot() {
  local accel=$1 wait_limit=$2 cpu=max,-smap
  [[ $accel == kvm ]] && cpu=host
  : >"$results/console.log"
  rm -f "$results/status"
  qemu-system-x86_64 \
    -accel "$accel" -cpu "$cpu" -m 3G -smp 2 \
    -display none -monitor none -serial "file:$results/console.log" \
    -no-reboot -nic none \
    -kernel "$kernel" -initrd "$vm/initramfs.cpio" \
    -append "console=ttyS0 loglevel=3 panic=-1 vm.tree=$tree" \
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$results,mount_tag=results,security_model=none,multidevs=remap" \
    </dev/null >"$results/qemu.log" 2>&1 &
  qemu_pid=$!
  disown "$qemu_pid"
  local deadline=$((SECONDS + wait_limit))
  while ((SECONDS < deadline)); do
    if grep -q '^test-vm: kernel up' "$results/console.log" 2>/dev/null; then
      return 0
    fi
    if ! kill -0 "$qemu_pid" 2>/dev/null; then
      break
    fi
    sleep 0.2
  done
  stop_guest
  return 1
}

accel=${TEST_VM_ACCEL:-}
if [[ -z $accel ]]; then
  if [[ -r /dev/kvm && -w /dev/kvm && $(cat "$vm/kvm-fails" 2>/dev/null) != "$kver" ]]; then
    accel=kvm
  else
    accel=tcg
  fi
fi

start=$SECONDS
if [[ $accel == kvm ]] && ! boot kvm "$kvm_wait"; then
  echo "test-vm: no guest under KVM within ${kvm_wait} s ($(tail -n1 "$results/qemu.log" 2>/dev/null || true));" \
    "TCG from now on (rm build/vm/kvm-fails to try KVM again)"
  echo "$kver" >"$vm/kvm-fails"
  accel=tcg
fi
if [[ -z $qemu_pid ]] && ! boot "$accel" "$boot_limit"; then
  echo "test-vm: the guest did not boot under ${accel^^} within $boot_limit s" >&2
  cat "$results/qemu.log" "$results/console.log" >&2 || true
  exit 1
fi
echo "test-vm: kernel $kver up under ${accel^^} after $((SECONDS - start)) s"

tail -n +1 -f --pid="$qemu_pid" "$results/console.log" &
tail_pid=$!
deadline=$((start + total_limit))
while kill -0 "$qemu_pid" 2>/dev/null && ((SECONDS < deadline)); do
  sleep 1
done
timed_out=0
if kill -0 "$qemu_pid" 2>/dev/null; then
  timed_out=1
else
  # tail notices within a second that the guest has gone, after its last lines.
  qemu_pid=""
  timeout 5 tail --pid="$tail_pid" -f /dev/null || true
fi
stop_guest

if [[ ! -s $results/status ]]; then
  if ((timed_out)); then
    echo "test-vm: the guest did not finish within $total_limit s" >&2
  else
    echo "test-vm: the guest stopped without an exit status" >&2
    cat "$results/qemu.log" >&2 || true
  fi
  exit 1
fi
status=$(cat "$results/status")
echo "test-vm: exit status $status after $((SECONDS - start)) s"
exit "$status"
