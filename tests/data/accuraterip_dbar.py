#!/usr/bin/env python3
"""Writes an AccurateRip dBAR response as the service lays it out, for a local test server.

Each argument after the file name is one chunk (a pressing): "ID1,ID2,FREEDB:CONF/CRC,CONF/CRC,..."
with the ids and CRCs in hexadecimal. A chunk is little-endian: the track count (1 byte), the
disc's two AccurateRip ids and its freedb id (4 bytes each), then per track its confidence
(1 byte), its CRC and its offset-detection CRC (4 bytes each, the latter written as zero here).

usage: accuraterip_dbar.py OUT_FILE CHUNK...
"""
import struct
import sys


def chunk(text):
    ids, tracks = text.split(":")
    id1, id2, freedb = (int(value, 16) for value in ids.split(","))
    entries = [track.split("/") for track in tracks.split(",")]
    data = struct.pack("<BIII", len(entries), id1, id2, freedb)
    for confidence, crc in entries:
        data += struct.pack("<BII", int(confidence), int(crc, 16), 0)
    return data


def main():
    with open(sys.argv[1], "wb") as out:
        for text in sys.argv[2:]:
            out.write(chunk(text))


if __name__ == "__main__":
    main()
