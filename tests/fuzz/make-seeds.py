#!/usr/bin/python3
"""Writes the hand-made seed inputs of the fuzz targets into corpus/NAME/ (the input
layouts are described at the top of each NAME_fuzzer.cpp). Inputs that a fuzz run found
and that were fixed are kept beside these as regression cases; this script leaves them be.

    make-seeds.py

Debian's own python3 (hence the first line): the JPEG seeds are drawn with python3-pil.
"""

import importlib.util
import io
import os
import struct
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


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


def small_picture(mode="RGB", size=(24, 16), **options):
    picture = Image.new(mode, size)
    for x in range(size[0]):
        for y in range(size[1]):
            value = (x * 37 + y * 91) % 256
            picture.putpixel((x, y), value if mode == "L" else
                             tuple((value + 80 * k) % 256 for k in range(len(mode))))
    out = io.BytesIO()
    picture.save(out, "JPEG", **options)
    return out.getvalue()


def jpeg_decode():
    # Like the splash picture: progressive, three components without subsampling.
    splash_like = small_picture(progressive=True, subsampling=0, quality=90)
    return {
        "progressive-444": splash_like,
        "baseline-420": small_picture(subsampling=2, quality=75),
        "grey": small_picture("L"),
        "cmyk": small_picture("CMYK"),
        "odd-size": small_picture(size=(13, 7)),
        "truncated": splash_like[:len(splash_like) // 2],
        "header-only": splash_like[:200],
    }


def window_definition():
    module_spec = importlib.util.spec_from_file_location(
        "make_definition", os.path.join(ROOT, "tools", "assets", "make-definition.py"))
    make_definition = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(make_definition)
    with open(os.path.join(ROOT, "app", "splash", "form1.def"), encoding="latin-1") as source:
        lines = source.read().splitlines()
    with tempfile.TemporaryDirectory() as folder:
        # The splash window's own definition, with a small picture in place of the splash.
        with open(os.path.join(folder, "splash.jpg"), "wb") as picture:
            picture.write(small_picture(size=(8, 8)))
        form1 = make_definition.compile_definition(lines, folder)
        no_picture = make_definition.compile_definition(
            [line for line in lines if "Picture" not in line], folder)
    return {
        "form1": form1,
        "form1-without-picture": no_picture,
        "wrong-signature": b"WDF2" + form1[4:],
        "truncated": form1[:len(form1) // 2],
        "signature-only": b"WDF1",
    }


def main():
    for name, seeds in [("multi_string", multi_string()), ("bios_date", bios_date()),
                        ("drive_reply", drive_reply()),
                        ("identification_run", identification_run()),
                        ("jpeg_decode", jpeg_decode()),
                        ("window_definition", window_definition())]:
        folder = os.path.join(HERE, "corpus", name)
        os.makedirs(folder, exist_ok=True)
        for seed, data in seeds.items():
            with open(os.path.join(folder, seed), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
