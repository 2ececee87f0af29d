"""The whole start-up of the real start.exe under Wine: the two identification files, the
error boxes of a failed identification run, the address handed to the shell, the title and
the 9x family. With no test disk driver the drive serial is empty under Wine, so the
serial-and-date line is "=" followed by the date set in the registry for the case."""

import os
import urllib.parse

import harness
from harness import read_bytes, reg_dword, reg_multi_sz, reg_sz, RegValue

EARLIER_T2 = b"SERIAL-OF-AN-EARLIER-START=01/01/01\r\n"
EARLIER_T3 = b"VERSION OF AN EARLIER START\r\n"


def t2(folder):
    return folder / "case" / "gen" / "t2.tmp"


def t3(folder):
    return folder / "case" / "gen" / "t3.tmp"


def write_earlier_files(folder):
    t2(folder).write_bytes(EARLIER_T2)
    t3(folder).write_bytes(EARLIER_T3)


class StartupCase(harness.StartTestCase):

    def assert_clean_start(self, run):
        self.assertEqual(run.exit_code, 0, run)
        self.assertEqual(run.boxes, [], run)
        self.assertEqual(len(run.address_calls), 1, run)

    def assert_one_error_box(self, run, text, caption=b"start"):
        """One box with the message and the title, one OK button, an icon and a window of the
        program as owner; up before the address reached the shell and with no window of the
        program visible; the address opened once it was dismissed; exit code 0."""
        self.assertEqual(run.exit_code, 0, run)
        self.assertEqual(len(run.boxes), 1, run)
        box = run.boxes[0]
        self.assertEqual((box.caption, box.text), (caption, text))
        self.assertEqual(box.buttons, [1], "one OK button")
        self.assertTrue(box.icon, "an icon")
        self.assertTrue(box.owned, "owned by the application's window")
        self.assertFalse(box.other_visible, "a window of the program was visible under the box")
        self.assertFalse(box.recorder_called, "the address reached the shell before the box")
        self.assertEqual(len(run.address_calls), 1, run)


class IdentificationFilesTest(StartupCase):

    # (label, registry values, serial-and-date file, BIOS version file)
    CASES = [
        ("plain values",
         {"SystemBiosDate": reg_sz(b"12/31/99"),
          "SystemBiosVersion": reg_multi_sz([b"BIOS A", b"Rev 2", b"C"])},
         b"=12/31/99\r\n", b"BIOS A | Rev 2 | C\r\n"),
        ("no values: both lines empty",
         {},
         b"=\r\n", b"\r\n"),
        ("empty text and empty multi-string",
         {"SystemBiosDate": reg_sz(b""), "SystemBiosVersion": reg_multi_sz([])},
         b"=\r\n", b"\r\n"),
        ("blanks and controls at the ends are trimmed, inside they stay",
         {"SystemBiosDate": reg_sz(b" \t06 15\x0104\x1f "),
          "SystemBiosVersion": reg_multi_sz([b"  lead", b"trail \x01"])},
         b"=06 15\x0104\r\n", b"lead | trail\r\n"),
        ("date cut at its first zero byte, '=' kept as it is",
         {"SystemBiosDate": RegValue(harness.REG_SZ, b"a=b\0junk\0")},
         b"=a=b\r\n", b"\r\n"),
        ("expandable date not expanded; version type not examined",
         {"SystemBiosDate": reg_sz(b"%SystemRoot%", harness.REG_EXPAND_SZ),
          "SystemBiosVersion": reg_sz(b"V1")},
         b"=%SystemRoot%\r\n", b"V1\r\n"),
        ("a date of another type without data is empty, no error",
         {"SystemBiosDate": RegValue(harness.REG_DWORD, b"")},
         b"=\r\n", b"\r\n"),
        ("version cut at 255 after a separator's blank, which trimming drops",
         {"SystemBiosVersion": reg_multi_sz([b"v" * 254, b"B"])},
         b"=\r\n", b"v" * 254 + b"\r\n"),
        ("version cut at 255 inside a string",
         {"SystemBiosVersion": reg_multi_sz([b"w" * 300])},
         b"=\r\n", b"w" * 255 + b"\r\n"),
    ]

    def test_lines_byte_for_byte(self):
        for label, values, want_t2, want_t3 in self.CASES:
            with self.subTest(label):
                self.reset()
                work = self.work_folder()
                if values:
                    harness.set_system_values(values)
                run = self.run_start(work)
                self.assert_clean_start(run)
                self.assertEqual(read_bytes(t2(work)), want_t2)
                self.assertEqual(read_bytes(t3(work)), want_t3)

    def test_longer_files_of_an_earlier_start_are_replaced_whole(self):
        work = self.work_folder()
        t2(work).write_bytes(b"x" * 600)
        t3(work).write_bytes(b"y" * 600)
        harness.set_system_values({"SystemBiosDate": reg_sz(b"1"),
                                   "SystemBiosVersion": reg_multi_sz([b"v"])})
        self.assert_clean_start(self.run_start(work))
        self.assertEqual(read_bytes(t2(work)), b"=1\r\n")
        self.assertEqual(read_bytes(t3(work)), b"v\r\n")

    def test_files_go_below_the_working_folder_not_the_program_folder(self):
        program_folder = self.work_folder()
        program = harness.copy_program(program_folder, "start.exe")
        work = self.work_folder()
        harness.set_system_values({"SystemBiosDate": reg_sz(b"02/29/00")})
        self.assert_clean_start(self.run_start(work, program))
        self.assertEqual(read_bytes(t2(work)), b"=02/29/00\r\n")
        self.assertEqual(read_bytes(t3(work)), b"\r\n")
        self.assertEqual(os.listdir(program_folder / "case" / "gen"), [])


class FailedIdentificationTest(StartupCase):

    def test_missing_folder(self):
        for label, folders in [("no case", []), ("case without gen", ["case"])]:
            with self.subTest(label):
                self.reset()
                work = self.work_folder(with_gen=False)
                for folder in folders:
                    (work / folder).mkdir()
                run = self.run_start(work)
                self.assert_one_error_box(run, b"Invalid filename.")
                self.assertEqual(sorted(p.name for p in work.rglob("*")), folders,
                                 "no file and no folder created")

    def test_read_only_serial_and_date_file(self):
        work = self.work_folder()
        write_earlier_files(work)
        self.make_immutable(t2(work))
        run = self.run_start(work)
        self.assert_one_error_box(run, b"File access denied.")
        self.assertEqual(read_bytes(t2(work)), EARLIER_T2)
        self.assertEqual(read_bytes(t3(work)), EARLIER_T3)

    def test_serial_and_date_file_is_a_folder(self):
        work = self.work_folder()
        t2(work).mkdir()
        t3(work).write_bytes(EARLIER_T3)
        run = self.run_start(work)
        self.assert_one_error_box(run, b"File access denied.")
        self.assertTrue(t2(work).is_dir())
        self.assertEqual(read_bytes(t3(work)), EARLIER_T3)

    def test_serial_and_date_file_held_by_another_process(self):
        work = self.work_folder()
        write_earlier_files(work)
        with harness.file_held(t2(work), share="read"):
            run = self.run_start(work)
        self.assert_one_error_box(run, b"I/O error 32.")
        self.assertEqual(read_bytes(t2(work)), EARLIER_T2)
        self.assertEqual(read_bytes(t3(work)), EARLIER_T3)

    def test_date_of_another_type_ends_the_run_with_an_empty_file(self):
        # The message ends in "'", so the display adds no full stop.
        cases = [("REG_DWORD, earlier version file", reg_dword(0x12345678), EARLIER_T3),
                 ("REG_BINARY, no earlier version file", RegValue(harness.REG_BINARY, b"12/31/99"),
                  None)]
        for label, value, earlier_t3 in cases:
            with self.subTest(label):
                self.reset()
                work = self.work_folder()
                t2(work).write_bytes(EARLIER_T2)
                if earlier_t3 is not None:
                    t3(work).write_bytes(earlier_t3)
                harness.set_system_values({"SystemBiosDate": value,
                                           "SystemBiosVersion": reg_multi_sz([b"NEW"])})
                run = self.run_start(work, probe_file=t2(work))
                self.assert_one_error_box(run, b"Invalid data type for 'SystemBiosDate'")
                # The interrupted file stays open, writable by nobody else, until the exit.
                box = run.boxes[0]
                self.assertEqual((box.probe_read, box.probe_write), (0, 32))
                self.assertEqual(read_bytes(t2(work)), b"")
                self.assertEqual(read_bytes(t3(work)), earlier_t3)


class TitleTest(StartupCase):
    """The caption of the error box is the program file's name up to its first ".", every
    character after the first in lower case. A start without case\\gen shows it."""

    def test_caption_from_the_program_file_name(self):
        cases = [
            ("START.EXE", b"Start"),
            ("SETUP.V2.EXE", b"Setup"),
            ("start.exe", b"start"),   # the first character is never changed
            # ANSI as Windows gives it, with no OEM conversion (code page 1252 here).
            ("R\u00c9SUM\u00c9.EXE", b"R\xe9sum\xe9"),
        ]
        for name, caption in cases:
            with self.subTest(name):
                self.reset()
                program = harness.copy_program(self.work_folder(with_gen=False), name)
                run = self.run_start(self.work_folder(with_gen=False), program)
                self.assert_one_error_box(run, b"Invalid filename.", caption)

    def test_caption_from_a_full_name_longer_than_256_characters(self):
        folder = self.work_folder(with_gen=False)
        for part in ("a" * 100, "b" * 100, "c" * 100):
            folder = folder / part
        folder.mkdir(parents=True)
        program = harness.copy_program(folder, "START.EXE")
        self.assertGreater(len(harness.win_path(program)), 300)
        run = self.run_start(self.work_folder(with_gen=False), program)
        self.assert_one_error_box(run, b"Invalid filename.", b"Start")


class NineXFamilyTest(StartupCase):
    """Under Wine's "win98" the 9x routes run: the SMART device does not exist (empty
    serial), the ROM date field reads as 8 zero bytes and the registry is not read."""

    def test_lines_from_the_9x_routes(self):
        work = self.work_folder()
        write_earlier_files(work)
        # Values the NT routes would show; the 9x routes must not read them.
        harness.set_system_values({"SystemBiosDate": reg_sz(b"12/31/99"),
                                   "SystemBiosVersion": reg_multi_sz([b"NT ONLY"])})
        with harness.windows_version("win98"):
            run = self.run_start(work)
        self.assert_clean_start(run)
        # The rebuilt date is 00 00 "/" 00 00 "/" 00 00; trimming takes the zero bytes off
        # both ends only, so "/", two zero bytes and "/" remain.
        self.assertEqual(read_bytes(t2(work)), b"=/\0\0/\r\n")
        self.assertEqual(read_bytes(t3(work)), b"\r\n")


class AddressTest(StartupCase):

    def test_local_address_opened_with_the_verb_open(self):
        run = self.run_start(self.work_folder())
        self.assert_clean_start(run)
        call = run.address_calls[0]
        self.assertEqual(call.verb, "open", call)
        address = urllib.parse.urlsplit(call.address)
        self.assertEqual(address.scheme, "http", call)
        self.assertIn(address.hostname, ("localhost", "127.0.0.1"), call)
        self.assertEqual(address.port, 5683, call)
        self.assertEqual(address.path, "/", call)
        self.assertEqual((address.query, address.fragment, address.username), ("", "", None), call)
