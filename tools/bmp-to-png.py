#!/usr/bin/env python3
"""bmp-to-png.py BMP PNG: converts an uncompressed 24- or 32-bit BMP file (what
the Windows screenshot tools write) to a PNG file. Needs python3 only."""
import struct
import sys
import zlib


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    _, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if bits not in (24, 32) or compression not in (0, 3):
        raise ValueError(f"{path}: only uncompressed 24- and 32-bit BMP files are read")
    channels = bits // 8
    stride = (width * channels + 3) & ~3
    bottom_up = height > 0
    height = abs(height)
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y if bottom_up else y) * stride
        line = data[start:start + width * channels]
        rgb = bytearray(width * 3)
        rgb[0::3] = line[2::channels]
        rgb[1::3] = line[1::channels]
        rgb[2::3] = line[0::channels]
        rows.append(bytes(rgb))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: bmp-to-png.py BMP PNG")
    try:
        write_png(sys.argv[2], *read_bmp(sys.argv[1]))
    except (OSError, ValueError, struct.error) as error:
        sys.exit(f"bmp-to-png.py: {error}")


if __name__ == "__main__":
    main()
