#!/usr/bin/env python3
"""Writes the compile database the static checks run on: our own sources (identity/,
platform/, app/, tools/) as the native build compiles them, and the sources only the
Windows build compiles (the Win32 layer, the program block, the test helpers and the test
disk driver) as clang would compile them for the same 32-bit MinGW target, against the
cross compiler's own C++ library and Windows headers.

    compile_db.py SOURCE_DIR NATIVE_BUILD WIN32_BUILD OUTPUT_DIR

Prints the sources it wrote, one per line, relative to SOURCE_DIR and each after the
build that compiles it: "native PATH" or "windows PATH".
"""

import json
import os
import re
import shlex
import subprocess
import sys

OUR_FOLDERS = ("identity", "platform", "app", "tools")
TARGET = "i686-w64-mingw32"
CROSS_CXX = "i686-w64-mingw32-g++-posix"


def ours(root, path):
    relative = os.path.relpath(path, root)
    return relative.split(os.sep)[0] in OUR_FOLDERS and path.endswith((".c", ".cpp"))


def arguments(entry):
    if "arguments" in entry:
        return list(entry["arguments"])
    return shlex.split(entry["command"])


def expand_response_files(args, directory):
    expanded = []
    for arg in args:
        if arg.startswith("@"):
            with open(os.path.join(directory, arg[1:])) as rsp:
                expanded += shlex.split(rsp.read())
        else:
            expanded.append(arg)
    return expanded


def cross_cxx_include_dirs():
    """The C++ library folders of the cross compiler; its own compiler headers are left to
    clang, whose intrinsics differ from GCC's."""
    probe = subprocess.run([CROSS_CXX, "-x", "c++", "-E", "-v", os.devnull],
                           capture_output=True, text=True, check=True)
    lines = probe.stderr.splitlines()
    start = lines.index("#include <...> search starts here:") + 1
    end = lines.index("End of search list.")
    folders = [os.path.normpath(line.strip()) for line in lines[start:end]]
    return [f for f in folders if "/c++" in f or f.endswith(f"/{TARGET}/include")]


def outside_folders_as_system(args, root):
    """Header folders outside the repository (the DDK's, say) are the platform's: their
    own warnings are not ours to fix."""
    result = []
    for arg in args:
        if arg.startswith("-I") and not os.path.realpath(arg[2:]).startswith(root + os.sep):
            result += ["-isystem", arg[2:]]
        else:
            result.append(arg)
    return result


def for_clang(entry, include_dirs, root):
    args = outside_folders_as_system(expand_response_files(arguments(entry), entry["directory"]),
                                     root)
    is_c = entry["file"].endswith(".c")
    clang = "clang" if is_c else "clang++"
    resource = subprocess.run([clang, "-print-resource-dir"], capture_output=True, text=True,
                              check=True).stdout.strip()
    system = ["-nostdinc"] + ([] if is_c else ["-nostdinc++"])
    system += ["-isystem", os.path.join(resource, "include")]
    for folder in include_dirs:
        if is_c and "/c++" in folder:
            continue
        system += ["-isystem", folder]
    return [clang, f"--target={TARGET}"] + system + args[1:]


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    root, native, win32, output = (os.path.realpath(a) for a in argv[1:])
    with open(os.path.join(native, "compile_commands.json")) as db:
        entries = [{"directory": e["directory"], "file": e["file"], "arguments": arguments(e)}
                   for e in json.load(db) if ours(root, e["file"])]
    seen = {os.path.realpath(e["file"]) for e in entries}

    with open(os.path.join(win32, "compile_commands.json")) as db:
        include_dirs = cross_cxx_include_dirs()
        for entry in json.load(db):
            path = os.path.realpath(entry["file"])
            if not ours(root, path) or path in seen:
                continue
            seen.add(path)
            entries.append({"directory": entry["directory"], "file": entry["file"],
                            "arguments": for_clang(entry, include_dirs, root)})

    os.makedirs(output, exist_ok=True)
    with open(os.path.join(output, "compile_commands.json"), "w") as db:
        json.dump(entries, db, indent=1)
    for entry in entries:
        kind = "windows" if f"--target={TARGET}" in entry["arguments"] else "native"
        print(kind, os.path.relpath(os.path.realpath(entry["file"]), root))


if __name__ == "__main__":
    main(sys.argv)
