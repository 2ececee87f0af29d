"""The splash window on a screen of other pixels per inch than the 96 it was laid out for:
the client size follows the height of "0" in the scaled font over 13, the picture does not.
Wine takes the density from HKCU\\Control Panel\\Desktop "LogPixels" when a program starts;
a fresh prefix has no such value, and each case removes it again."""

import contextlib

import harness
import screen
import x11_watch
from formhost import DESIGN_CLIENT, DESIGN_TEXT_HEIGHT, PICTURE_SIZE, Host, HostTestCase, scaled

DESKTOP_KEY = r"HKEY_CURRENT_USER\Control Panel\Desktop"
SCREEN_SIZE = (1024, 768)

# (pixels per inch, whether the text height there differs from the design's 13)
DENSITIES = [
    (120, True),   # larger text: the window grows around the unscaled picture
    (100, False),  # another density, but "0" is still 13 pixels high: no scaling at all
    (72, True),    # smaller text: the window shrinks and cuts the picture further
]


def expected_client(text_height):
    if text_height == DESIGN_TEXT_HEIGHT:
        return DESIGN_CLIENT
    return tuple(scaled(length, text_height) for length in DESIGN_CLIENT)


class SplashDensityTest(HostTestCase):

    @contextlib.contextmanager
    def density(self, pixels_per_inch):
        """Programs started inside the block see `pixels_per_inch`."""
        harness.set_values(DESKTOP_KEY, {"LogPixels": harness.reg_dword(pixels_per_inch)})
        try:
            yield
        finally:
            harness.set_values(DESKTOP_KEY, {"LogPixels": None})

    def assert_drawn(self, report):
        """The picture unscaled at the client's corner, cut by the client where it is
        smaller; the rest of the client the button face; beyond the window not the picture."""
        picture = screen.splash_picture()
        x, y = report.numbers("form_client_origin")
        width, height = report.numbers("form_client")
        shown = (min(width, PICTURE_SIZE[0]), min(height, PICTURE_SIZE[1]))
        face = report.numbers("button_face")

        def problems(shot):
            return (screen.region_problems(shot, (x, y), picture, (0, 0), shown)
                    + screen.fill_problems(shot, x, y, x + width, y + height, face,
                                           exclude=(x, y, x + shown[0], y + shown[1])))

        shot, _, seen = screen.wait_for_screen(problems)
        self.assertEqual(seen, [])
        if width < PICTURE_SIZE[0]:
            right = screen.matching_fraction(shot, (x + width, y), picture, (width, 0),
                                             shown[1], (0, 1))
            self.assertLess(right, 0.5, "the picture runs on beyond the window")

    def test_client_scaled_by_text_height_picture_not(self):
        for pixels_per_inch, text_grows_or_shrinks in DENSITIES:
            with self.subTest(pixels_per_inch=pixels_per_inch), self.density(pixels_per_inch):
                with Host(self.work_folder()) as host:
                    report = host.report
                    self.assertEqual(report.numbers("pixels_per_inch"), (pixels_per_inch,))
                    text_height = report.numbers("text_height")[0]
                    self.assertEqual(text_height != DESIGN_TEXT_HEIGHT, text_grows_or_shrinks,
                                     f"text height {text_height}")
                    width, height = expected_client(text_height)
                    self.assertEqual(report.numbers("form_client"), (width, height))
                    left = (SCREEN_SIZE[0] - width) // 2
                    top = (SCREEN_SIZE[1] - height) // 2
                    self.assertEqual(report.numbers("form_window"),
                                     (left, top, left + width, top + height))
                    self.assertEqual(report.numbers("image"), (0, 0, *PICTURE_SIZE))
                    self.assert_drawn(report)

    def test_start_exe_maps_the_scaled_window(self):
        with self.density(120):
            with Host(self.work_folder()) as host:
                text_height = host.report.numbers("text_height")[0]
            width, height = expected_client(text_height)
            self.assertNotEqual((width, height), DESIGN_CLIENT)
            with x11_watch.RootWatch() as watch:
                run = self.run_start(self.work_folder())
                seen = watch.mappings()
        mapped = [m for m in seen if (m.width, m.height) == (width, height)]
        self.assertEqual(run.exit_code, 0, run)
        self.assertEqual(run.boxes, [], run)
        self.assertEqual(len(mapped), 1, seen)
        self.assertEqual((mapped[0].x, mapped[0].y),
                         ((SCREEN_SIZE[0] - width) // 2, (SCREEN_SIZE[1] - height) // 2))
