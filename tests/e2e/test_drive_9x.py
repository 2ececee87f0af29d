"""The drive serial on the 9x route, against the test disk. Under Wine's "win98" the real
start.exe opens "\\\\.\\SMARTVSD" with no access, and Wine refuses SMART_RCV_DRIVE_DATA on such
a handle before it reaches any driver: the serial is empty and the handle is closed once.
The 9x request and its reply layout are shown through the device by the probe, which runs
the same reader with the open widened to read and write access."""

import harness
import testdisk
from testdisk import SCSI_PORT, SMART, SMART_RCV_DRIVE_DATA

FIXTURE = "hitachi-hde721010sla330.txt"


class DriveSerial9xTest(testdisk.DriveCase):

    def test_win98_start_opens_the_smart_device_and_closes_it_once(self):
        self.use("answer", FIXTURE)
        with harness.windows_version("win98"):
            line = self.start_line()
        self.assertEqual(line.split(b"=", 1)[0], b"", "empty serial")  # the date is the ROM's
        records = self.requests(opens=1)
        self.assertEqual([(r.kind, r.device) for r in records],
                         [("open", SMART), ("close", SMART)], records)

    def test_9x_request_and_reply_layout_through_the_device(self):
        """32 bytes in, 528 out, byte for byte as the device expects; the reply read at the
        9x position gives the field in reading order, untrimmed."""
        fixture = testdisk.FIXTURES / FIXTURE
        self.use("answer", FIXTURE)
        self.assertEqual(self.probe_serial("9x-widened"), testdisk.stated_serial(fixture))
        self.assert_one_request(self.requests(opens=1), SMART, SMART_RCV_DRIVE_DATA,
                                (32, 528), "block")

    def test_probe_without_access_meets_the_same_refusal(self):
        """The reader's own 9x open (no access), outside start.exe: same as the win98 start."""
        self.use("answer", FIXTURE)
        self.assertEqual(self.probe_serial("9x"), b"")
        records = self.requests(opens=1)
        self.assertEqual([(r.kind, r.device) for r in records],
                         [("open", SMART), ("close", SMART)], records)
        self.assertNotIn(SCSI_PORT, [r.device for r in records])
