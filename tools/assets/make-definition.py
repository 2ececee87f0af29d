#!/usr/bin/env python3
"""Compiles a window definition's text source into the binary form that
platform/window_definition.h describes (the layout table lives there, beside the reader).

    make-definition.py SOURCE OUTPUT

SOURCE holds "object NAME: CLASS" lines, the form first, each followed by property lines
"NAME TYPE VALUE"; blank lines and lines starting with "#" are skipped. Picture files are
looked up beside SOURCE.
"""

import os
import re
import struct
import sys

SIGNATURE = b"WDF1"
INT32, STRING, IDENTIFIER, BOOL, BINARY, SET = 1, 2, 3, 4, 5, 6
PICTURE_CLASSES = {"TJPEGImage"}


class SourceError(Exception):
    pass


def short_string(text):
    data = text.encode("latin-1")
    if not 1 <= len(data) <= 255:
        raise SourceError(f"a name must have 1 to 255 characters: {text!r}")
    return bytes([len(data)]) + data


def long_bytes(data):
    return struct.pack("<I", len(data)) + data


def parse_string(text):
    match = re.fullmatch(r'"((?:[^"\\]|\\.)*)"', text)
    if not match:
        raise SourceError(f"a string value is written in double quotes: {text}")
    return re.sub(r"\\(x[0-9A-Fa-f]{2}|.)",
                  lambda m: chr(int(m.group(1)[1:], 16)) if len(m.group(1)) == 3 else m.group(1),
                  match.group(1))


def encode_value(kind, text, folder):
    if kind == "int32":
        value = int(text, 0)
        if not -2**31 <= value < 2**31:
            raise SourceError(f"out of the int32 range: {text}")
        return bytes([INT32]) + struct.pack("<i", value)
    if kind == "string":
        return bytes([STRING]) + long_bytes(parse_string(text).encode("latin-1"))
    if kind == "identifier":
        if not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", text):
            raise SourceError(f"not an identifier: {text}")
        return bytes([IDENTIFIER]) + short_string(text)
    if kind == "bool":
        if text not in ("False", "True"):
            raise SourceError(f"a bool is False or True: {text}")
        return bytes([BOOL, 1 if text == "True" else 0])
    if kind == "set":
        match = re.fullmatch(r"\[(.*)\]", text)
        if not match:
            raise SourceError(f"a set is written [a, b]: {text}")
        members = [m.strip() for m in match.group(1).split(",") if m.strip()]
        if len(members) > 255:
            raise SourceError("a set holds at most 255 members")
        return bytes([SET, len(members)]) + b"".join(short_string(m) for m in members)
    if kind == "picture":
        parts = text.split(None, 1)
        if len(parts) != 2 or parts[0] not in PICTURE_CLASSES:
            raise SourceError(f"a picture is a class ({', '.join(sorted(PICTURE_CLASSES))}) "
                              f"and a file name: {text}")
        with open(os.path.join(folder, parts[1]), "rb") as picture:
            data = picture.read()
        return bytes([BINARY]) + long_bytes(short_string(parts[0]) + long_bytes(data))
    raise SourceError(f"unknown value type {kind}")


def compile_definition(lines, folder):
    out = bytearray(SIGNATURE)
    in_object = False
    names = set()
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if not stripped or stripped.startswith("#"):
            continue
        try:
            header = re.fullmatch(r"object\s+(\w+)\s*:\s*(\w+)", stripped)
            if header:
                if in_object:
                    out.append(0)  # end of the previous object's properties
                out += short_string(header.group(2)) + short_string(header.group(1))
                in_object, names = True, set()
                continue
            parts = stripped.split(None, 2)
            if not in_object:
                raise SourceError("a property before the first object line")
            if len(parts) != 3:
                raise SourceError("a property line is: name type value")
            name, kind, value = parts
            if name in names:
                raise SourceError(f"{name} set twice")
            names.add(name)
            out += short_string(name) + encode_value(kind, value, folder)
        except (SourceError, ValueError, OSError) as error:
            raise SourceError(f"line {number}: {error}") from None
    if not in_object:
        raise SourceError("no object")
    out += b"\0\0"  # end of the last object's properties, end of the objects
    return bytes(out)


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    source, output = argv[1], argv[2]
    with open(source, encoding="latin-1") as text:
        lines = text.read().splitlines()
    try:
        data = compile_definition(lines, os.path.dirname(os.path.abspath(source)))
    except SourceError as error:
        sys.exit(f"{source}: {error}")
    with open(output, "wb") as new:
        new.write(data)


if __name__ == "__main__":
    main(sys.argv)
