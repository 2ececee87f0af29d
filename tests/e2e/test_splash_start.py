"""The splash window of the real start.exe start, seen from the X server: the window is on
the screen only while the loop handles what is queued ahead of the quit request, too
briefly to be looked at from Win32, but its map on the session's 1024 x 768 screen is
caught by a listener on the root window."""

import harness
import x11_watch

SPLASH = (250, 158)
CENTRED = (387, 305)  # ((1024 - 250) / 2, (768 - 158) / 2)


class StartSplashTest(harness.StartTestCase):

    def start_and_watch(self, show_state=None):
        with x11_watch.RootWatch() as watch:
            run = self.run_start(self.work_folder(), show_state=show_state)
            mapped = watch.mappings()
        self.assertEqual(run.exit_code, 0, run)
        self.assertEqual(run.boxes, [], run)
        return [m for m in mapped if (m.width, m.height) == SPLASH], mapped

    def test_splash_mapped_once_centred(self):
        splash, mapped = self.start_and_watch()
        self.assertEqual(len(splash), 1, mapped)
        self.assertEqual((splash[0].x, splash[0].y), CENTRED)
        # Override-redirect: the X server put it where the program did, no manager moved it.
        self.assertTrue(splash[0].override_redirect, splash[0])

    def test_show_state_7_never_maps_the_splash(self):
        splash, mapped = self.start_and_watch(show_state=7)
        self.assertEqual(splash, [], mapped)
