"""The splash window on the session's 1024 x 768 screen, in the test host, which builds Form1
as start.exe does and keeps its loop running: what Win32 says about the window and the
application's window, and what the X server shows. The run saves the window's pixels as
screenshots/splash.png in the native build folder."""

import harness
import screen
import x11_watch
from formhost import (DESIGN_CLIENT, PICTURE_SIZE, HostTestCase, WS_BORDER, WS_CAPTION,
                      WS_DLGFRAME, WS_EX_APPWINDOW, WS_EX_CLIENTEDGE, WS_EX_DLGMODALFRAME,
                      WS_EX_STATICEDGE, WS_EX_WINDOWEDGE, WS_MAXIMIZEBOX, WS_MINIMIZEBOX,
                      WS_POPUP, WS_SYSMENU, WS_THICKFRAME, Host)

SCREEN_SIZE = (1024, 768)
CENTRED = (387, 305)  # ((1024 - 250) / 2, (768 - 158) / 2)
SCREENSHOT = harness.WINE_STATE_DIR.parent / "screenshots" / "splash.png"

FRAME_STYLES = {"WS_CAPTION": WS_CAPTION, "WS_BORDER": WS_BORDER, "WS_DLGFRAME": WS_DLGFRAME,
                "WS_SYSMENU": WS_SYSMENU, "WS_THICKFRAME": WS_THICKFRAME,
                "WS_MINIMIZEBOX": WS_MINIMIZEBOX, "WS_MAXIMIZEBOX": WS_MAXIMIZEBOX}
FRAME_EX_STYLES = {"WS_EX_DLGMODALFRAME": WS_EX_DLGMODALFRAME,
                   "WS_EX_WINDOWEDGE": WS_EX_WINDOWEDGE, "WS_EX_CLIENTEDGE": WS_EX_CLIENTEDGE,
                   "WS_EX_STATICEDGE": WS_EX_STATICEDGE,
                   # a taskbar button of its own
                   "WS_EX_APPWINDOW": WS_EX_APPWINDOW}

# Show states other than 3 and 7 show the window normally: 0 (SW_HIDE), 2 (what Wine's
# `start /min` gives), 6 (SW_MINIMIZE), 10 (SW_SHOWDEFAULT).
NORMAL_SHOW_STATES = [0, 2, 6, 10]


class SplashWindowTest(HostTestCase):

    def host(self, launcher=()):
        return Host(self.work_folder(), launcher)

    def starter(self, state):
        return (harness.SHOW_STATE_STARTER, str(state))

    def assert_shown_normally_centred(self, report):
        self.assertEqual(report.numbers("screen"), SCREEN_SIZE, "the session's screen")
        self.assertEqual(report.numbers("form_client"), DESIGN_CLIENT)
        # Without a frame the outer size is the client size.
        self.assertEqual(report.numbers("form_window"),
                         (*CENTRED, CENTRED[0] + DESIGN_CLIENT[0], CENTRED[1] + DESIGN_CLIENT[1]))
        self.assertEqual(report.numbers("form_client_origin"), CENTRED)
        self.assertTrue(report.flag("form_visible"))
        self.assertFalse(report.flag("form_zoomed"))
        self.assertFalse(report.flag("form_iconic"))

    def test_borderless_popup_owned_by_the_application_centred(self):
        work = self.work_folder()
        with Host(work) as host:
            report = host.report
        self.assert_shown_normally_centred(report)
        self.assertEqual(report.numbers("pixels_per_inch"), (96,))
        style, ex_style = report.bits("form_style"), report.bits("form_exstyle")
        self.assertTrue(style & WS_POPUP, hex(style))
        for name, bit in FRAME_STYLES.items():
            self.assertFalse(style & bit, f"{name} in {style:#010x}")
        for name, bit in FRAME_EX_STYLES.items():
            self.assertFalse(ex_style & bit, f"{name} in {ex_style:#010x}")
        self.assertEqual(report.text("form_text"), b"Form1")
        self.assertTrue(report.flag("form_owner_is_application"))
        # Image1 takes the picture's size and sits at the corner.
        self.assertEqual(report.numbers("image"), (0, 0, *PICTURE_SIZE))
        # The creation handler ran as in the program: both identification files written.
        self.assertEqual(harness.read_bytes(work / "case/gen/t2.tmp"), b"=\r\n")
        self.assertEqual(harness.read_bytes(work / "case/gen/t3.tmp"), b"\r\n")

    def test_application_window_carries_the_taskbar_button(self):
        with self.host() as host:
            report = host.report
        # Shown while the form is, at no size, with the title and the main icon.
        self.assertTrue(report.flag("application_visible"))
        self.assertFalse(report.flag("application_iconic"))
        left, top, right, bottom = report.numbers("application_window")
        self.assertEqual((right - left, bottom - top), (0, 0))
        self.assertEqual(report.text("application_text"), b"formhost")
        self.assertEqual(report.fields["application_icon"], "main")

    def test_picture_on_screen_unscaled_and_cut_by_the_window(self):
        picture = screen.splash_picture()
        self.assertEqual((picture.width, picture.height), PICTURE_SIZE)
        width, height = DESIGN_CLIENT
        with self.host() as host:
            x, y = host.report.numbers("form_client_origin")
            shot, path, problems = screen.wait_for_screen(
                lambda s: screen.region_problems(s, (x, y), picture, (0, 0), DESIGN_CLIENT))
            screen.save_png(path, x, y, width, height, SCREENSHOT)
        self.assertEqual(problems, [])
        # The picture's last column and last row would stand just outside the window: what
        # the screen shows there is not the picture's.
        right = screen.matching_fraction(shot, (x + width, y), picture, (width, 0), height, (0, 1))
        below = screen.matching_fraction(shot, (x, y + height), picture, (0, height), width, (1, 0))
        self.assertLess(right, 0.5, "the picture's last column is on the screen")
        self.assertLess(below, 0.5, "the picture's last row is on the screen")

    def test_show_state_3_maximized_picture_at_the_corner(self):
        picture = screen.splash_picture()
        with self.host(("start", "/wait", "/max")) as host:
            report = host.report
            face = report.numbers("button_face")
            whole = (0, 0, *SCREEN_SIZE)
            shown = (0, 0, *PICTURE_SIZE)

            def problems(shot):
                return (screen.region_problems(shot, (0, 0), picture, (0, 0), PICTURE_SIZE)
                        + screen.fill_problems(shot, *whole, face, exclude=shown))

            _, _, seen = screen.wait_for_screen(problems)
        self.assertTrue(report.flag("form_zoomed"))
        self.assertTrue(report.flag("form_visible"))
        self.assertEqual(report.numbers("form_window"), whole)
        self.assertEqual(report.numbers("form_client"), SCREEN_SIZE)
        self.assertEqual(seen, [])

    def test_show_state_7_application_minimized_window_never_shown(self):
        with x11_watch.RootWatch() as watch:
            with self.host(self.starter(7)) as host:
                report = host.report
            mapped = watch.mappings()
        self.assertFalse(report.flag("form_visible"))
        self.assertTrue(report.flag("application_visible"))
        self.assertTrue(report.flag("application_iconic"))
        self.assertEqual([m for m in mapped if (m.width, m.height) == DESIGN_CLIENT], [],
                         "the form was mapped on the X screen")

    def test_other_show_states_show_the_window_normally(self):
        for state in NORMAL_SHOW_STATES:
            with self.subTest(show_state=state):
                with self.host(self.starter(state)) as host:
                    self.assert_shown_normally_centred(host.report)
                    self.assertFalse(host.report.flag("application_iconic"))
