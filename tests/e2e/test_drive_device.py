"""The test disk itself: it answers the NT-route request only as the reader must send it,
so a fault in the request cannot pass the end-to-end tests unseen. Each change below is
sent by the probe on its own, to an otherwise correct request."""

import testdisk
from testdisk import IOCTL_SCSI_MINIPORT, SCSI_PORT


class TestDiskTest(testdisk.DriveCase):

    # (change, what the device says of the request)
    WRONG = [
        ("byte:0", "wrong-byte-0"),        # SRB_IO_CONTROL.HeaderLength
        ("byte:4", "wrong-byte-4"),        # Signature "SCSIDISK"
        ("byte:11", "wrong-byte-11"),
        ("byte:12", "wrong-byte-12"),      # Timeout
        ("byte:16", "wrong-byte-16"),      # ControlCode
        ("byte:20", "wrong-byte-20"),      # ReturnCode
        ("byte:24", "wrong-byte-24"),      # Length
        ("byte:28", "wrong-byte-28"),      # cBufferSize
        ("byte:33", "wrong-byte-33"),      # sector count
        ("byte:37", "wrong-byte-37"),      # drive/head
        ("byte:38", "wrong-byte-38"),      # command
        ("byte:40", "wrong-byte-40"),      # bDriveNumber
        ("byte:41", "wrong-byte-41"),      # first byte that must stay 0
        ("byte:571", "wrong-byte-571"),    # last one
        ("in:571", "wrong-in-size"),
        ("out:528", "wrong-out-size"),
        ("code:0x7C088", "wrong-code"),    # the SMART code on the SCSI port
    ]

    def test_changed_requests_are_refused(self):
        self.use("answer", "maxtor-6y080p0.txt")
        changes = [change for change, _ in self.WRONG]
        results = self.probe_altered(changes)
        self.assertEqual(results, {change: "failed" for change in changes})
        records = self.requests(opens=len(changes))
        verdicts = [r.fields["request"] for r in records if r.kind == "control"]
        self.assertEqual(verdicts, [verdict for _, verdict in self.WRONG])

    def test_correct_request_is_answered(self):
        self.use("answer", "maxtor-6y080p0.txt")
        self.assertEqual(self.probe_altered(["in:572"]), {"in:572": "answered"})
        self.assert_one_request(self.requests(opens=1), SCSI_PORT, IOCTL_SCSI_MINIPORT,
                                (572, 572), "block")
