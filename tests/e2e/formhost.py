"""The splash window's test host (tools/formhost) under Wine: Form1 built as start.exe builds
it and kept on the screen, with the host's report of what Win32 says about it.

    with formhost.Host(work) as host:          # work holds case\\gen
        report = host.report                   # after the loop's first idle step
        ...look at the screen...
    # leaving the block stops the host and waits for it (bounded)

Another session (a second display) is reached by passing its environment."""

import contextlib
import os
import pathlib
import subprocess

import harness

FORMHOST = harness.WIN32_BUILD_DIR / "tools/formhost/formhost.exe"
harness.track_image(FORMHOST)

# The window as it was laid out: the definition's client size, the picture's size and the
# height of "0" in its font at 96 pixels per inch.
DESIGN_CLIENT = (250, 158)
PICTURE_SIZE = (251, 159)
DESIGN_TEXT_HEIGHT = 13

# Window styles (winuser.h).
WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_DLGFRAME = 0x00400000
WS_SYSMENU = 0x00080000
WS_THICKFRAME = 0x00040000
WS_MINIMIZEBOX = 0x00020000
WS_MAXIMIZEBOX = 0x00010000
WS_EX_DLGMODALFRAME = 0x00000001
WS_EX_WINDOWEDGE = 0x00000100
WS_EX_CLIENTEDGE = 0x00000200
WS_EX_STATICEDGE = 0x00020000
WS_EX_APPWINDOW = 0x00040000


class Report:
    """The host's report: see tools/formhost/formhost.cpp. Numbers come as tuples of ints,
    window texts as bytes, flags as bools."""

    def __init__(self, text):
        self.fields = dict(line.split("=", 1) for line in text.splitlines() if line)

    def numbers(self, name):
        return tuple(int(n) for n in self.fields[name].split(","))

    def flag(self, name):
        return self.fields[name] == "1"

    def bits(self, name):
        return int(self.fields[name], 16)

    def text(self, name):
        return bytes.fromhex(self.fields[name])

    def __repr__(self):
        return f"Report({self.fields})"


class Host:
    """One run of the host in `work`. `launcher` comes before the host on the `wine` command
    line: ("start", "/wait", "/max") for Wine's start, or the show-state starter and a
    state. `env`: another session's environment (None: this one's)."""

    def __init__(self, work, launcher=(), env=None):
        folder = harness.fresh_folder("host")
        self._report, self._stop = folder / "report.txt", folder / "stop"
        args = [*launcher, harness.win_path(FORMHOST), "--report", harness.win_path(self._report),
                "--stop", harness.win_path(self._stop),
                "--timeout-ms", str(int((harness.START_TIMEOUT + harness.HELPER_TIMEOUT) * 1000))]
        self._process = harness.spawn(args, cwd=work, env=env)
        self.report = None

    def __enter__(self):
        try:
            self.report = self._wait_for_report()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _wait_for_report(self):
        # The report, or the host's early end (a failed start), whichever comes first.
        harness.wait_until(lambda: self._report.exists() or self._process.poll() is not None,
                           harness.START_TIMEOUT, "the form host's report")
        if not self._report.exists():
            raise RuntimeError(f"the form host ended with {self._process.returncode} "
                               "before it reported")
        return Report(self._report.read_text("ascii"))

    def stop(self):
        """Asks the host to end its loop and waits for it; returns its exit code."""
        self._stop.touch()
        return harness.finish(self._process, harness.START_TIMEOUT, "the form host")


class HostTestCase(harness.StartTestCase):
    """Cases that run the host (and perhaps start.exe): a missing host is a failure."""

    @classmethod
    def setUpClass(cls):
        if not FORMHOST.exists():
            raise RuntimeError(f"{FORMHOST} is not built")
        super().setUpClass()


def session_environment(state_dir):
    """This process's environment with a session's variables (its env file) in place."""
    env = dict(os.environ)
    for line in (pathlib.Path(state_dir) / "env").read_text().splitlines():
        name, _, value = line.removeprefix("export ").partition("=")
        env[name] = value.strip("'")
    return env


@contextlib.contextmanager
def other_session(state_dir, screen_size):
    """A Wine session of its own with a screen of `screen_size` (width, height): its own
    Xvfb, wineserver and prefix in `state_dir`, beside the shared one; yields its
    environment and stops it afterwards. The prefix stays for the next run, which then
    starts in seconds."""
    script = harness.SOURCE_DIR / "tools/session/wine-session.sh"
    size = f"{screen_size[0]}x{screen_size[1]}"
    with open(harness.scratch() / "session.log", "ab") as log:
        subprocess.run([str(script), "up", str(state_dir), size], check=True,
                       stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                       timeout=harness.START_TIMEOUT * 2)
    try:
        yield session_environment(state_dir)
    finally:
        with open(harness.scratch() / "session.log", "ab") as log:
            subprocess.run([str(script), "down", str(state_dir)], stdin=subprocess.DEVNULL,
                           stdout=log, stderr=subprocess.STDOUT, timeout=harness.START_TIMEOUT)


def scaled(length, text_height):
    """A design length at a text height of `text_height`: length * text_height / 13,
    rounded to the nearest pixel (halves away from zero)."""
    return (2 * length * text_height + DESIGN_TEXT_HEIGHT) // (2 * DESIGN_TEXT_HEIGHT)
