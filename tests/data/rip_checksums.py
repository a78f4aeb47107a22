#!/usr/bin/env python3
"""Prints the CRC-32 and the AccurateRip v1 and v2 checksums of one track's raw samples.

A reference written from the published descriptions, kept apart from the program's own code:
the input is 16-bit little-endian stereo; each frame is read as one 32-bit little-endian word
and weighted by its 1-based position; the disc's first track leaves out the frames before
position 2940 (five sectors but one frame), its last track the last 2940 frames; v2 adds the
high and low halves of each 64-bit product.

usage: rip_checksums.py RAW_FILE [--first] [--last]
"""
import struct
import sys
import zlib


def main():
    path = sys.argv[1]
    first = "--first" in sys.argv[2:]
    last = "--last" in sys.argv[2:]
    data = open(path, "rb").read()
    frames = struct.unpack("<%dI" % (len(data) // 4), data[: len(data) // 4 * 4])
    start = 2940 if first else 1
    end = len(frames) - 2940 if last else len(frames)
    v1 = v2 = 0
    for position in range(start, end + 1):
        product = frames[position - 1] * position
        v1 = (v1 + product) & 0xFFFFFFFF
        v2 = (v2 + (product & 0xFFFFFFFF) + (product >> 32)) & 0xFFFFFFFF
    print("%08X %08X %08X" % (zlib.crc32(data) & 0xFFFFFFFF, v1, v2))


if __name__ == "__main__":
    main()
