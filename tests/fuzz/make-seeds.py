#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into corpus/NAME/ (the input
layouts are described at the top of each NAME_fuzzer.cpp). Inputs that a fuzz run found
and that were fixed are kept beside these as regression cases; this script leaves them be.

    make-seeds.py
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def u32(value):
    return struct.pack("<I", value)


def multi_string():
    return {
        "two-strings": b"A\0B\0\0",
        "empty-string-ends-list": b"A\0\0B\0\0",
        "no-final-zero": b"A\0B",
        "leading-zero": b"\0abc\0\0",
        "empty": b"",
        "typical": b"LENOVO - 1140\0BIOS Date: 01/02/03 Ver: 1.00\0\0",
        "long-string": b"x" * 300 + b"\0\0",
        "cut-inside-separator": b"y" * 254 + b"\0B\0\0",
    }


def bios_date():
    reg_sz, reg_expand_sz, reg_binary, reg_dword = 1, 2, 3, 4
    nt = lambda flags, kind, data, reported=0: bytes([flags]) + u32(kind) + u32(reported) + data
    return {
        "sz-with-terminator": nt(0, reg_sz, b"12/31/99\0"),
        "expand-sz-zero-inside": nt(0, reg_expand_sz, b"01/02\x0003"),
        "dword": nt(0, reg_dword, u32(0x12345678)),
        "binary-no-data": nt(0, reg_binary, b""),
        "key-read-refused": nt(0x02, reg_sz, b"06/15/04\0"),
        "all-opens-refused": nt(0x0E, reg_sz, b"06/15/04\0"),
        "read-fails": nt(0x20, reg_sz, b"06/15/04\0"),
        "short-count": nt(0x40, reg_sz, b"06/15/04\0", 3),
        "rom-date": bytes([0x01]) + u32(0) + u32(0) + b"12/31/99",
        "rom-read-fails": bytes([0x81]) + u32(0) + u32(0),
    }


def drive_reply():
    def reply(serial_at, serial):
        data = bytearray(572)
        swapped = bytearray(serial)
        swapped[0::2], swapped[1::2] = serial[1::2], serial[0::2]
        data[serial_at:serial_at + 20] = swapped
        return bytes(data)
    serial = b"    WD-WCAV12345678 "
    return {
        "nt-reply": bytes([0]) + reply(64, serial),
        "9x-reply": bytes([1]) + reply(36, serial),
        "all-ones": bytes([0]) + b"\xff" * 572,
        "open-fails": bytes([2]),
        "control-fails": bytes([4]) + reply(64, serial),
        "short": bytes([1]) + b"\x20" * 40,
    }


def identification_run():
    def run(flags, refused_write, serial, date, version):
        return bytes([flags, refused_write, len(serial), len(date)]) + serial + date + version
    return {
        "typical": run(0, 0, b"    WD-WCAV12345678 ", b" 01/02/03\t", b"  BIOS 1.0 | X "),
        "all-empty": run(0, 0, b"", b"", b""),
        "zero-serial": run(0, 0, b"\0" * 20, b"12/31/99", b""),
        "zero-inside": run(0, 0, b" A B ", b"\0/\0\0/\0\0", b"a\0b "),
        "date-raises": run(1, 0, b"S", b"D", b"V"),
        "first-write-refused": run(0, 1, b"S", b"D", b"V"),
        "long-version-second-block-refused": run(0, 3, b"S", b"D", b"v" * 255),
    }


def main():
    for name, seeds in [("multi_string", multi_string()), ("bios_date", bios_date()),
                        ("drive_reply", drive_reply()),
                        ("identification_run", identification_run())]:
        folder = os.path.join(HERE, "corpus", name)
        os.makedirs(folder, exist_ok=True)
        for seed, data in seeds.items():
            with open(os.path.join(folder, seed), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
