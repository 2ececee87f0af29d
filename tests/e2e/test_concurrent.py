"""Sixteen copies of start.exe started at once in one working folder. Each copy holds the
identification file it is writing open against other writers, so a copy that comes to a
file held by another gets the sharing violation's box and goes on; every copy still opens
the address and exits with 0. Afterwards each file holds one whole line as a start writes
it, never the bytes of two starts mixed, nor a rest of what stood there before."""

import time

import harness
from harness import read_bytes, reg_multi_sz, reg_sz

COPIES = 16
BATCH_TIMEOUT = 240  # seconds for all copies together, on a loaded machine

DATE = b"06/15/04"
VERSION = [b"BIOS A", b"Rev 2"]
T2_LINE = b"=" + DATE + b"\r\n"  # no drive answers under Wine: the serial is empty
T3_LINE = b"BIOS A | Rev 2\r\n"
EARLIER = b"AN EARLIER START'S LINE, LONGER THAN ANY LINE OF THIS ONE\r\n" * 4

# What a copy may be told when another copy holds a file it wants to create.
ALLOWED_TEXTS = {b"I/O error 32.", b"File access denied."}


class ConcurrentStartsTest(harness.StartTestCase):

    def start_all_at_once(self, work):
        """Starts the copies one right after another, each in `work`, while one box watcher
        reads and dismisses the boxes of all of them. Returns (exit codes, boxes)."""
        folder = harness.fresh_folder("batch")
        report, stop = folder / "boxes.txt", folder / "stop"
        bound_ms = (BATCH_TIMEOUT + harness.HELPER_TIMEOUT) * 1000
        watcher = harness.spawn([harness.BOX_WATCHER, "--out", harness.win_path(report),
                                 "--stop", harness.win_path(stop),
                                 "--image", harness.START_EXE.name,
                                 "--timeout-ms", str(bound_ms)])
        try:
            copies = [harness.spawn([harness.START_EXE], cwd=work) for _ in range(COPIES)]
            deadline = time.monotonic() + BATCH_TIMEOUT
            codes = [harness.finish(copy, max(1.0, deadline - time.monotonic()),
                                    "a copy of start.exe")
                     for copy in copies]
        finally:
            stop.touch()
            watcher_code = harness.finish(watcher, harness.HELPER_TIMEOUT, "box watcher")
        boxes, ended = harness.parse_boxes(report.read_text("ascii") if report.exists() else "")
        self.assertEqual((watcher_code, ended), (0, "stop"), "the box watcher ended early")
        return codes, boxes

    def test_sixteen_copies_in_one_folder(self):
        work = self.work_folder()
        gen = work / "case" / "gen"
        (gen / "t2.tmp").write_bytes(EARLIER)
        (gen / "t3.tmp").write_bytes(EARLIER)
        harness.set_system_values({"SystemBiosDate": reg_sz(DATE),
                                   "SystemBiosVersion": reg_multi_sz(VERSION)})

        codes, boxes = self.start_all_at_once(work)

        self.assertEqual(codes, [0] * COPIES)
        self.assertLessEqual(len(boxes), COPIES, boxes)
        for box in boxes:
            self.assertEqual(box.caption, b"start", box)
            self.assertIn(box.text, ALLOWED_TEXTS, box)
            self.assertEqual(box.buttons, [1], box)
        self.assertEqual(len(self.recorder.wait_for_calls(COPIES)), COPIES,
                         "every copy opens the address")
        self.assertEqual(read_bytes(gen / "t2.tmp"), T2_LINE)
        self.assertEqual(read_bytes(gen / "t3.tmp"), T3_LINE)
        self.assertEqual(sorted(p.name for p in gen.iterdir()), ["t2.tmp", "t3.tmp"])
