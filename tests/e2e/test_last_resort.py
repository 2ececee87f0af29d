"""An exception while the window is being created, outside its creation handler, reaches
the last-resort handler: a task-modal "Application Error" box naming the exception's class,
the module and the address, then the message; exit code 1 and the address never opened.
A copy of start.exe with a damaged window definition provokes it."""


import harness

RESOURCE_REPLACER = harness.HELPERS_DIR / "resource_replacer.exe"


class LastResortTest(harness.StartTestCase):

    def damaged_copy(self, folder, definition):
        program = harness.copy_program(folder, "start.exe")
        code = harness.wine(RESOURCE_REPLACER, "--file", harness.win_path(program),
                            "--name", "TFORM1", "--bytes", definition)
        self.assertEqual(code, 0, "resource_replacer")
        return program

    def test_damaged_definition_ends_with_code_1_and_no_address(self):
        cases = [
            ("wrong signature", "XXXX", rb"Invalid window definition: .*"),
            ("cut short", "WDF1", rb"Invalid window definition: .*"),
        ]
        for label, definition, message in cases:
            with self.subTest(label):
                self.reset()
                program_folder = harness.fresh_folder("program")
                program = self.damaged_copy(program_folder, definition)
                work = self.work_folder()
                run = self.run_start(work, program=program, expect_address=False)

                self.assertEqual(run.exit_code, 1, run)
                self.assertEqual(len(run.boxes), 1, run)
                box = run.boxes[0]
                self.assertEqual(box.caption, b"Application Error")
                head, _, tail = box.text.partition(b"\r\n")
                self.assertRegex(head, rb"^Exception Exception in module start\.exe at "
                                       rb"[0-9A-F]{8}\.$")
                self.assertRegex(tail, message)
                self.assertTrue(tail.endswith(b"."), tail)
                self.assertEqual(box.buttons, [1], "one OK button")
                self.assertEqual(run.address_calls, [], "the address must not be opened")
                # The definition is read before the creation handler could run.
                self.assertEqual(list((work / "case" / "gen").iterdir()), [])
