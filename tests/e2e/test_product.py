"""start.exe as a shipped Windows product: its version resource and its manifest as Windows
reads them (through the product probe under Wine), and its PE header and import list as the
loader sees them (read from the file's bytes)."""

import pathlib
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

import harness

PRODUCT_PROBE = harness.WIN32_BUILD_DIR / "tools/product_probe/product_probe.exe"

# DLLs that every 32-bit Windows of both families ships; anything else would have to be
# installed beside the program.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "msvcrt.dll"}

SUPPORTED_OS_IDS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
WINDOWS_SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"

VFT_APP = 0x1
VOS__WINDOWS32 = 0x4


def project_version():
    """The version in the top-level CMakeLists.txt's project() call, as "A.B.C"."""
    text = (harness.SOURCE_DIR / "CMakeLists.txt").read_text()
    found = re.search(r"project\(\s*start\s+VERSION\s+([0-9]+(?:\.[0-9]+)*)", text)
    if found is None:
        raise AssertionError("no project(start VERSION ...) in CMakeLists.txt")
    return found.group(1)


# --- the PE file, as a table of named offsets -----------------------------------------------

DOS_E_LFANEW = 0x3C
PE_SIGNATURE = b"PE\0\0"
# COFF file header, from the signature's end.
COFF_MACHINE, COFF_SECTIONS, COFF_TIME_DATE_STAMP = 0, 2, 4
COFF_SYMBOL_TABLE, COFF_SYMBOL_COUNT, COFF_OPTIONAL_SIZE, COFF_CHARACTERISTICS = 8, 12, 16, 18
COFF_HEADER_SIZE = 20
# 32-bit optional header, from its start.
OPT_MAGIC = 0
OPT_MAJOR_OS, OPT_MINOR_OS = 40, 42
OPT_MAJOR_SUBSYSTEM, OPT_MINOR_SUBSYSTEM = 48, 50
OPT_SUBSYSTEM = 68
OPT_DATA_DIRECTORIES = 96
DATA_DIRECTORY_SIZE = 8
IMPORT_DIRECTORY = 1
# Section header.
SECTION_HEADER_SIZE = 40
SECTION_VIRTUAL_SIZE, SECTION_VIRTUAL_ADDRESS = 8, 12
SECTION_RAW_SIZE, SECTION_RAW_POINTER = 16, 20
# Import descriptor.
IMPORT_DESCRIPTOR_SIZE = 20
IMPORT_NAME = 12

MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
SUBSYSTEM_WINDOWS_GUI = 2
FILE_EXECUTABLE_IMAGE = 0x0002


class PeFile:
    """The headers and the import list of a 32-bit PE file."""

    def __init__(self, data):
        self.data = data
        pe = self.u32(DOS_E_LFANEW)
        if data[pe:pe + 4] != PE_SIGNATURE:
            raise ValueError("no PE signature")
        self.coff = pe + 4
        self.optional = self.coff + COFF_HEADER_SIZE
        sections = self.optional + self.u16(self.coff + COFF_OPTIONAL_SIZE)
        self.sections = [sections + k * SECTION_HEADER_SIZE
                         for k in range(self.u16(self.coff + COFF_SECTIONS))]

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def coff_field(self, offset, size=4):
        return (self.u16 if size == 2 else self.u32)(self.coff + offset)

    def optional_u16(self, offset):
        return self.u16(self.optional + offset)

    def file_offset(self, rva):
        for section in self.sections:
            start = self.u32(section + SECTION_VIRTUAL_ADDRESS)
            size = max(self.u32(section + SECTION_VIRTUAL_SIZE), self.u32(section + SECTION_RAW_SIZE))
            if start <= rva < start + size:
                return rva - start + self.u32(section + SECTION_RAW_POINTER)
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def c_string(self, offset):
        return self.data[offset:self.data.index(b"\0", offset)].decode("ascii")

    def imported_dlls(self):
        directory = self.optional + OPT_DATA_DIRECTORIES + IMPORT_DIRECTORY * DATA_DIRECTORY_SIZE
        rva = self.u32(directory)
        if rva == 0:
            return []
        names = []
        descriptor = self.file_offset(rva)
        while any(self.data[descriptor:descriptor + IMPORT_DESCRIPTOR_SIZE]):
            names.append(self.c_string(self.file_offset(self.u32(descriptor + IMPORT_NAME))))
            descriptor += IMPORT_DESCRIPTOR_SIZE
        return names


class HeaderCase(unittest.TestCase):
    """What the loader reads before any code runs."""

    @classmethod
    def setUpClass(cls):
        if not harness.START_EXE.exists():
            raise unittest.SkipTest(f"{harness.START_EXE} is not built")
        cls.pe = PeFile(harness.START_EXE.read_bytes())

    def test_header_fields(self):
        pe = self.pe
        fields = [
            ("machine", pe.coff_field(COFF_MACHINE, 2), MACHINE_I386),
            ("time stamp", pe.coff_field(COFF_TIME_DATE_STAMP), 0),
            ("symbol table", pe.coff_field(COFF_SYMBOL_TABLE), 0),
            ("symbol count", pe.coff_field(COFF_SYMBOL_COUNT), 0),
            ("executable", pe.coff_field(COFF_CHARACTERISTICS, 2) & FILE_EXECUTABLE_IMAGE,
             FILE_EXECUTABLE_IMAGE),
            ("PE32 magic", pe.optional_u16(OPT_MAGIC), PE32_MAGIC),
            ("OS version", (pe.optional_u16(OPT_MAJOR_OS), pe.optional_u16(OPT_MINOR_OS)), (4, 0)),
            ("subsystem version",
             (pe.optional_u16(OPT_MAJOR_SUBSYSTEM), pe.optional_u16(OPT_MINOR_SUBSYSTEM)), (4, 0)),
            ("subsystem", pe.optional_u16(OPT_SUBSYSTEM), SUBSYSTEM_WINDOWS_GUI),
        ]
        for name, actual, expected in fields:
            with self.subTest(name):
                self.assertEqual(actual, expected)

    def test_imports_only_system_dlls(self):
        imported = [name.lower() for name in self.pe.imported_dlls()]
        self.assertIn("kernel32.dll", imported)
        self.assertEqual(sorted(set(imported) - SYSTEM_DLLS), [],
                         f"imports beyond the system's DLLs: {imported}")


class ResourceCase(unittest.TestCase):
    """The version resource and the manifest, read by Windows' own functions."""

    @classmethod
    def setUpClass(cls):
        for program in (harness.START_EXE, PRODUCT_PROBE):
            if not program.exists():
                raise unittest.SkipTest(f"{program} is not built")
        harness.WINE_STATE_DIR.mkdir(parents=True, exist_ok=True)
        cls.folder = pathlib.Path(tempfile.mkdtemp(prefix="product-", dir=harness.WINE_STATE_DIR))
        # Wine answers a resource request for any file named start.exe with its own start
        # command's resources, so the probe reads a byte-identical copy under another name.
        copy = cls.folder / "launcher-copy.exe"
        shutil.copyfile(harness.START_EXE, copy)
        manifest, out = cls.folder / "manifest.xml", cls.folder / "probe.txt"
        with open(out, "wb") as sink:
            probe = subprocess.Popen(
                ["wine", PRODUCT_PROBE, harness.win_path(copy), harness.win_path(manifest)],
                stdin=subprocess.DEVNULL, stdout=sink, stderr=subprocess.DEVNULL)
        code = harness.finish(probe, harness.HELPER_TIMEOUT, "product probe")
        cls.probe_output = out.read_text("latin-1")
        if code != 0:
            raise AssertionError(f"product probe ended with {code}: {cls.probe_output}")
        cls.fields = dict(line.split("=", 1) for line in cls.probe_output.splitlines() if "=" in line)
        cls.manifest = ElementTree.fromstring(manifest.read_bytes())

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def test_version_resource(self):
        version = project_version()
        quad = ".".join((version.split(".") + ["0"] * 4)[:4])
        expected = [
            ("fixed.FileVersion", quad),
            ("fixed.ProductVersion", quad),
            ("fixed.FileType", f"{VFT_APP:x}"),
            ("fixed.FileOS", f"{VOS__WINDOWS32:x}"),
            ("string.FileVersion", version),
            ("string.ProductVersion", version),
            ("string.OriginalFilename", "start.exe"),
        ]
        for name, value in expected:
            with self.subTest(name):
                self.assertEqual(self.fields.get(name), value, self.probe_output)
        self.assertTrue(self.fields.get("string.FileDescription", "").strip(),
                        "no FileDescription")

    def test_manifest_runs_as_invoker(self):
        levels = self.manifest.findall(
            f"{ASM_V3}trustInfo/{ASM_V3}security/{ASM_V3}requestedPrivileges/"
            f"{ASM_V3}requestedExecutionLevel")
        self.assertEqual([(e.get("level"), e.get("uiAccess")) for e in levels],
                         [("asInvoker", "false")])

    def test_manifest_names_supported_systems(self):
        ids = [e.get("Id").lower() for e in self.manifest.findall(
            f"{COMPATIBILITY}compatibility/{COMPATIBILITY}application/{COMPATIBILITY}supportedOS")]
        self.assertEqual(sorted(ids), sorted(SUPPORTED_OS_IDS))

    def test_manifest_is_system_dpi_aware(self):
        settings = self.manifest.findall(
            f"{ASM_V3}application/{ASM_V3}windowsSettings/{WINDOWS_SETTINGS_2005}dpiAware")
        self.assertEqual([e.text.strip().lower() for e in settings], ["true"])

    def test_manifest_identity_matches_version(self):
        identity = self.manifest.find(f"{ASM_V1}assemblyIdentity")
        self.assertIsNotNone(identity)
        quad = ".".join((project_version().split(".") + ["0"] * 4)[:4])
        self.assertEqual((identity.get("version"), identity.get("processorArchitecture")),
                         (quad, "x86"))


if __name__ == "__main__":
    unittest.main()
