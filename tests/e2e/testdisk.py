"""The test disk driver (tools/testdisk) in the shared session, for the drive serial modules.

A module derives its cases from `DriveCase`: the driver is installed and started for the
class and stopped again at its end, so the modules that expect no disk device find none.
Each case picks what the device does (`use`), runs start.exe or the probe, then reads what
the device was asked (`requests`): one Record per line of the driver's request log.
"""

import pathlib
import sys

import harness

sys.path.insert(0, str(harness.SOURCE_DIR / "tools" / "testdisk"))
import testdisk_ctl  # noqa: E402  (found through the path above)

FIXTURES = harness.SOURCE_DIR / "tests" / "fixtures" / "identify"
PROBE = harness.WIN32_BUILD_DIR / "tools" / "testdisk" / "testdisk_probe.exe"

SCSI_PORT = "Scsi0:"
SMART = "SMARTVSD"
IOCTL_SCSI_MINIPORT = 0x0004D008
SMART_RCV_DRIVE_DATA = 0x0007C088
STATUS_SUCCESS = 0


def real_fixtures():
    """The IDENTIFY blocks of real drives (the made ones are named "made-...")."""
    return sorted(p for p in FIXTURES.glob("*.txt") if not p.name.startswith("made-"))


def block(name_or_path):
    return testdisk_ctl.read_block(FIXTURES / name_or_path)


def stated_serial(path):
    """The serial as the fixture's source states it (bytes, blanks kept)."""
    text = testdisk_ctl.fixture_notes(path)["serial"]
    return text.encode("latin-1")


def trimmed(data):
    """The launcher's trimming: bytes 0 to 32 go at both ends, nowhere else."""
    start, end = 0, len(data)
    while start < end and data[start] <= 32:
        start += 1
    while end > start and data[end - 1] <= 32:
        end -= 1
    return data[start:end]


class Record:
    """One line of the request log: its kind ("open", "control", "close") and its fields."""

    def __init__(self, words):
        self.kind = words[0]
        self.fields = dict(word.split("=", 1) for word in words[1:])

    @property
    def device(self):
        return self.fields["device"]

    def number(self, name):
        return int(self.fields[name], 0)

    def __repr__(self):
        return f"Record({self.kind}, {self.fields})"


class DriveCase(harness.StartTestCase):
    """StartTestCase with the test disk installed and running for the class."""

    disk = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if not PROBE.exists():
            raise RuntimeError(f"{PROBE} is not built")
        session = testdisk_ctl.Session(harness.WINE_STATE_DIR, harness.WIN32_BUILD_DIR)
        cls.disk = testdisk_ctl.TestDisk(session)
        cls.addClassCleanup(cls.disk.stop)
        cls.disk.install()
        cls.disk.start()

    def use(self, mode, fixture=None):
        """What the device does from the next open on: "answer" with the fixture's block,
        "fail" the control call, or leave the reply "untouched". Clears the log."""
        self.disk.start()
        self.disk.set_case(mode, block(fixture) if fixture is not None else None)
        self.disk.clear_log()

    def without_device(self):
        """Stops the driver, so neither device name exists, until the case ends."""
        self.disk.stop()
        self.disk.clear_log()
        self.addCleanup(self.disk.start)

    def start_line(self):
        """Runs start.exe (no BIOS values are set) and gives its serial-and-date line."""
        work = self.work_folder()
        run = self.run_start(work)
        self.assertEqual(run.exit_code, 0, run)
        self.assertEqual(run.boxes, [], run)
        return harness.read_bytes(work / "case" / "gen" / "t2.tmp")

    def probe_serial(self, route):
        """The drive serial reader's result on `route` ("nt", "9x", "9x-widened"), asked by
        the probe rather than start.exe."""
        out = harness.fresh_folder("probe") / "serial.bin"
        code = harness.wine(PROBE, "serial", route, harness.win_path(out))
        self.assertEqual(code, 0, f"testdisk_probe serial {route}")
        return harness.read_bytes(out)

    def probe_altered(self, changes):
        """{change: "answered" or "failed"} for the NT-route request altered by each change
        (tools/testdisk/probe.cpp)."""
        out = harness.fresh_folder("probe") / "altered.txt"
        code = harness.wine(PROBE, "altered", harness.win_path(out), *changes)
        self.assertEqual(code, 0, f"testdisk_probe altered {changes}")
        return dict(line.split() for line in out.read_text("ascii").splitlines())

    def requests(self, opens):
        """The request log once it has `opens` opens and as many closes: a close reaches the
        driver after CloseHandle has returned, so it is waited for (bounded). Gives what is
        there when the wait ends either way; the case's assertions say what is wrong."""
        def settled():
            records = [Record(words) for words in self.disk.log()]
            counts = [sum(r.kind == kind for r in records) for kind in ("open", "close")]
            return records if counts == [opens, opens] else None
        try:
            return harness.wait_until(settled, harness.HELPER_TIMEOUT, f"{opens} open(s) and close(s)")
        except TimeoutError:
            return [Record(words) for words in self.disk.log()]

    def assert_one_request(self, records, device, code, sizes, reply):
        """Exactly: one open of `device`, one control call with `code` and (in, out) `sizes`
        that the device found right and answered with `reply`, one close."""
        self.assertEqual([r.kind for r in records], ["open", "control", "close"], records)
        opened, control, closed = records
        self.assertEqual((opened.device, opened.number("status")), (device, STATUS_SUCCESS))
        self.assertEqual(control.device, device)
        self.assertEqual(control.number("code"), code)
        self.assertEqual((control.number("in"), control.number("out")), sizes)
        self.assertEqual(control.fields["request"], "good", control)
        self.assertEqual(control.fields["reply"], reply, control)
        self.assertEqual(closed.device, device)
