#!/usr/bin/env python3
"""Points a linked PE32+ program's load configuration entry in its data directory at its
_load_config_used structure, for linkers that leave the entry empty (GNU ld before 2.42
does), and puts the image checksum right again. An entry already set is left alone.
  set-load-config.py --nm NM program.exe"""
import argparse
import struct
import subprocess
import sys

LOAD_CONFIG = 10  # index in the data directory


def checksum(image, at):
    """The PE checksum: 16-bit sum with carries folded, the checksum field taken as zero,
    plus the file's length."""
    data = image[:at] + b"\0\0\0\0" + image[at + 4:]
    if len(data) % 2:
        data += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + (total >> 16) & 0xFFFF) + len(image)


def file_offset(image, sections, rva):
    for virtual_address, virtual_size, raw_size, raw_offset in sections:
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_offset + rva - virtual_address
    sys.exit("RVA 0x%x lies in no section" % rva)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--nm", required=True)
    parser.add_argument("exe")
    args = parser.parse_args()
    with open(args.exe, "rb") as f:
        image = bytearray(f.read())

    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections_count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    if struct.unpack_from("<H", image, optional)[0] != 0x20B:
        sys.exit("%s is not a PE32+ image" % args.exe)
    image_base = struct.unpack_from("<Q", image, optional + 24)[0]
    entry = optional + 112 + 8 * LOAD_CONFIG
    if struct.unpack_from("<I", image, entry)[0]:
        return
    section_table = optional + optional_size
    sections = [struct.unpack_from("<8xIIII", image, section_table + 40 * i)[:4] for i in range(sections_count)]
    sections = [(address, size, raw_size, raw_offset) for size, address, raw_size, raw_offset in sections]

    symbols = subprocess.run([args.nm, args.exe], check=True, capture_output=True, text=True).stdout
    found = [int(line.split()[0], 16) for line in symbols.splitlines() if line.endswith(" _load_config_used")]
    if len(found) != 1:
        sys.exit("%s defines no _load_config_used" % args.exe)
    rva = found[0] - image_base
    # The structure starts with its own size, which the directory entry repeats.
    size = struct.unpack_from("<I", image, file_offset(image, sections, rva))[0]
    struct.pack_into("<II", image, entry, rva, size)
    struct.pack_into("<I", image, optional + 64, checksum(image, optional + 64))
    with open(args.exe, "wb") as f:
        f.write(image)


if __name__ == "__main__":
    main()
