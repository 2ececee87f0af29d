"""The splash window on screens narrower or lower than the window: it is placed at left 0 or
top 0 respectively, never at a negative position. The Xvfb screen's size is the display's,
so each screen size gets a Wine session of its own beside the shared one (its prefix is
kept in the build folder and reused by later runs)."""

import harness
import screen
from formhost import DESIGN_CLIENT, Host, HostTestCase, other_session

SESSION_DIR = harness.WINE_STATE_DIR.with_name(harness.WINE_STATE_DIR.name + "-small-screen")

# (screen width and height, where the window's top-left corner goes)
SCREENS = [
    ((200, 120), (0, 0)),      # narrower and lower: (-25, -19) clamped to both edges
    ((240, 600), (0, 221)),    # only narrower: (-5 becomes 0, (600 - 158) / 2)
    ((800, 157), (275, 0)),    # only lower, by one pixel: (-1 / 2 truncates to 0)
]


class SmallScreenTest(HostTestCase):

    def test_window_clamped_to_the_top_left_edges(self):
        picture = screen.splash_picture()
        for size, corner in SCREENS:
            with self.subTest(screen=size), other_session(SESSION_DIR, size) as env:
                with Host(self.work_folder(), env=env) as host:
                    report = host.report
                    # The part of the window that is on the screen shows the picture's corner.
                    visible = (min(DESIGN_CLIENT[0], size[0] - corner[0]),
                               min(DESIGN_CLIENT[1], size[1] - corner[1]))
                    _, _, seen = screen.wait_for_screen(
                        lambda s: screen.region_problems(s, corner, picture, (0, 0), visible),
                        display=env["DISPLAY"])
                self.assertEqual(report.numbers("screen"), size)
                self.assertEqual(report.numbers("form_window"),
                                 (*corner, corner[0] + DESIGN_CLIENT[0],
                                  corner[1] + DESIGN_CLIENT[1]))
                self.assertEqual(report.numbers("form_client"), DESIGN_CLIENT)
                self.assertEqual(seen, [])
