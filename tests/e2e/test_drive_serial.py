"""The drive serial on the NT route of the real start.exe, against the test disk: the serial
of each real drive's IDENTIFY block reaches the serial-and-date file trimmed, and every way
the device can fail leaves the serial empty. One open and one close per start."""

import harness
import testdisk
from testdisk import IOCTL_SCSI_MINIPORT, SCSI_PORT

NT_SIZES = (572, 572)
EMPTY_SERIAL = b"=\r\n"  # no BIOS values are set, so the date is empty too


class DriveSerialTest(testdisk.DriveCase):

    def test_each_real_drive_gives_the_serial_its_source_states(self):
        for fixture in testdisk.real_fixtures():
            with self.subTest(fixture.name):
                self.reset()
                self.use("answer", fixture)
                line = self.start_line()
                self.assertEqual(line, testdisk.trimmed(testdisk.stated_serial(fixture)) + b"=\r\n")
                self.assert_one_request(self.requests(opens=1), SCSI_PORT, IOCTL_SCSI_MINIPORT,
                                        NT_SIZES, "block")

    # (fixture, serial-and-date line)
    MADE = [
        ("made-leading-blanks.txt", b"LEAD3R5X9=\r\n"),
        ("made-zeros-inside.txt", b"ZERO\0IN\0\0SIDE=\r\n"),
        ("made-field-edges.txt", b"AB0123456789CDEFGHYZ=\r\n"),
        ("made-all-zero.txt", EMPTY_SERIAL),
    ]

    def test_made_serial_fields(self):
        for fixture, expected in self.MADE:
            with self.subTest(fixture):
                self.reset()
                self.use("answer", fixture)
                self.assertEqual(self.start_line(), expected)
                self.assert_one_request(self.requests(opens=1), SCSI_PORT, IOCTL_SCSI_MINIPORT,
                                        NT_SIZES, "block")

    def test_control_call_fails(self):
        self.use("fail", "maxtor-6y080p0.txt")
        self.assertEqual(self.start_line(), EMPTY_SERIAL)
        records = self.requests(opens=1)
        self.assertEqual([r.kind for r in records], ["open", "control", "close"], records)
        self.assertEqual(records[1].fields["reply"], "failed")
        self.assertNotEqual(records[1].number("status"), testdisk.STATUS_SUCCESS)

    def test_reply_left_untouched(self):
        """The call succeeds but writes nothing back: the zeros the buffer started with."""
        self.use("untouched", "maxtor-6y080p0.txt")
        self.assertEqual(self.start_line(), EMPTY_SERIAL)
        self.assert_one_request(self.requests(opens=1), SCSI_PORT, IOCTL_SCSI_MINIPORT,
                                NT_SIZES, "untouched")

    def test_no_device(self):
        """Neither device name exists (Wine has no other way to refuse the open: it hands out
        a handle whatever status a driver's create gives): no control call, nothing closed."""
        self.use("answer", "maxtor-6y080p0.txt")
        self.without_device()
        self.assertEqual(self.start_line(), EMPTY_SERIAL)
        self.assertEqual(self.requests(opens=0), [])
