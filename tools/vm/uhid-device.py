#!/usr/bin/env python3
"""A plain HID device made through /dev/uhid, for the test VM's checks.

    uhid-device.py keyboard|vendor VID PID [--seconds N]

"keyboard" is a boot keyboard (input and LED output reports), "vendor" a
vendor-defined collection with one 8-byte feature report. The device
answers no report requests: it exists so that hid-core, hidraw and udev
see it. Prints the hidraw node once it exists, then runs until SIGINT or
SIGTERM or until N seconds (default 60) have passed, and destroys the
device.
"""
import argparse
import glob
import os
import select
import signal
import struct
import sys
import time

UHID_DESTROY = 1
UHID_CREATE2 = 11
BUS_USB = 3
EVENT_SIZE = 4380

DESCRIPTORS = {
    "keyboard": bytes.fromhex(
        "05010906a101050719e029e715002501750195088102"
        "950175088101950575010508190129059102950175039101"
        "95067508150025650507190029658100c0"),
    "vendor": bytes.fromhex(
        "0600ff0901a1010901150026ff0075089508b102c0"),
}


def hidraw_node(vid, pid, deadline):
    pattern = "/sys/devices/virtual/misc/uhid/%04X:%04X:%04X.*/hidraw/hidraw*" % (BUS_USB, vid, pid)
    while time.monotonic() < deadline:
        found = sorted(glob.glob(pattern))
        if found:
            return "/dev/" + os.path.basename(found[-1])
        time.sleep(0.05)
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=sorted(DESCRIPTORS))
    parser.add_argument("vid", type=lambda s: int(s, 16))
    parser.add_argument("pid", type=lambda s: int(s, 16))
    parser.add_argument("--seconds", type=float, default=60)
    args = parser.parse_args()

    try:
        fd = os.open("/dev/uhid", os.O_RDWR | os.O_CLOEXEC)
    except OSError as e:
        sys.exit("uhid-device: cannot open /dev/uhid (%s): run as root after modprobe uhid" % e.strerror)

    descriptor = DESCRIPTORS[args.kind]
    name = ("uhid-device %s %04x:%04x" % (args.kind, args.vid, args.pid)).encode()
    create = struct.pack("<I128s64s64sHHIIII4096s", UHID_CREATE2, name, b"", b"",
                         len(descriptor), BUS_USB, args.vid, args.pid, 0x100, 0, descriptor)
    os.write(fd, create)

    stop = []
    for sig in (signal.SIGINT, signal.SIGTERM):
        signal.signal(sig, lambda *_: stop.append(True))
    deadline = time.monotonic() + args.seconds
    node = hidraw_node(args.vid, args.pid, min(deadline, time.monotonic() + 10))
    if node is None:
        os.write(fd, struct.pack("<I", UHID_DESTROY))
        sys.exit("uhid-device: no hidraw node appeared for %04x:%04x" % (args.vid, args.pid))
    print("%04x:%04x %s" % (args.vid, args.pid, node), flush=True)

    while not stop and time.monotonic() < deadline:
        try:
            ready, _, _ = select.select([fd], [], [], 0.2)
        except InterruptedError:
            continue
        if ready:
            os.read(fd, EVENT_SIZE)
    os.write(fd, struct.pack("<I", UHID_DESTROY))
    os.close(fd)


if __name__ == "__main__":
    main()
