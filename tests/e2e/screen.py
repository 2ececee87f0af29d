"""Pixels: the X screen of a session as the X server holds it, the splash picture as libjpeg's
own djpeg decodes it, and comparisons between regions of the two. Standard library only;
ImageMagick's `import` and `convert` and libjpeg's `djpeg` do the file formats."""

import os
import pathlib
import subprocess
import tempfile
import time

import harness

SPLASH_JPEG = harness.SOURCE_DIR / "app/splash/splash.jpg"

# How far a channel of a screen pixel may stand from the decoded picture's. The display has
# 24 bits per pixel, so the window's pixels should be the decoded ones; the reference decode
# is a native build of the same library, allowed to round one step differently.
TOLERANCE = 4

SCREEN_TIMEOUT = 20  # seconds for the X server to show what a window painted


class Image:
    """RGB pixels, rows top-down, 3 bytes a pixel."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, bytes(pixels)
        if len(self.pixels) != width * height * 3:
            raise ValueError(f"{len(self.pixels)} bytes for {width} x {height} pixels")

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.pixels[at:at + 3])

    def run(self, x, y, length):
        """`length` pixels of row y from column x, as bytes."""
        at = (y * self.width + x) * 3
        return self.pixels[at:at + 3 * length]


def read_ppm(path):
    """A binary PPM (P6, maxval 255) as an Image."""
    data = pathlib.Path(path).read_bytes()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    at += 1  # the one blank before the pixels
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"{path}: not a binary PPM of 8-bit samples")
    width, height = int(fields[1]), int(fields[2])
    return Image(width, height, data[at:at + width * height * 3])


def _run(args, env=None):
    subprocess.run(args, check=True, env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                   timeout=harness.HELPER_TIMEOUT)


_splash = None


def splash_picture():
    """The splash picture decoded by djpeg, 251 x 159 (decoded once per module)."""
    global _splash
    if _splash is None:
        with tempfile.TemporaryDirectory() as folder:
            out = pathlib.Path(folder) / "splash.ppm"
            _run(["djpeg", "-pnm", "-outfile", str(out), str(SPLASH_JPEG)])
            _splash = read_ppm(out)
    return _splash


def capture(display=None):
    """The whole screen of `display` (default: this session's DISPLAY) and the PPM file
    holding it."""
    display = display or os.environ["DISPLAY"]
    path = harness.fresh_folder("screen") / "screen.ppm"
    _run(["import", "-display", display, "-window", "root", "-depth", "8", f"ppm:{path}"])
    return read_ppm(path), path


def save_png(ppm_path, left, top, width, height, target):
    """Saves the region of a captured screen as a PNG file at `target`."""
    target = pathlib.Path(target)
    target.parent.mkdir(parents=True, exist_ok=True)
    # -strip: no time stamps, so the same pixels give the same file.
    _run(["convert", str(ppm_path), "-crop", f"{width}x{height}+{left}+{top}", "+repage",
          "-strip", f"png:{target}"])


def _run_differs(a, b):
    return any(abs(p - q) > TOLERANCE for p, q in zip(a, b))


def region_problems(screen, at, picture, origin, size):
    """How the screen's region at `at` differs from the picture's at `origin`, both `size`
    (width, height): a list of texts, empty when every pixel is within TOLERANCE."""
    (sx, sy), (px, py), (width, height) = at, origin, size
    bad_rows = []
    for row in range(height):
        shown = screen.run(sx, sy + row, width)
        wanted = picture.run(px, py + row, width)
        if shown != wanted and _run_differs(shown, wanted):
            bad_rows.append(row)
    if not bad_rows:
        return []
    row = bad_rows[0]
    column = next(c for c in range(width)
                  if _run_differs(screen.pixel(sx + c, sy + row), picture.pixel(px + c, py + row)))
    return [f"{len(bad_rows)} of {height} rows differ from the picture's rows {py}.. at "
            f"screen ({sx}, {sy}); first at ({column}, {row}): screen "
            f"{screen.pixel(sx + column, sy + row)}, picture "
            f"{picture.pixel(px + column, py + row)}"]


def fill_problems(screen, left, top, right, bottom, color, exclude=None):
    """How the screen's rectangle [left, right) x [top, bottom), less the rectangle `exclude`
    (left, top, right, bottom) if given, differs from the solid colour `color`."""
    wrong = 0
    first = None
    for y in range(top, bottom):
        for x in range(left, right):
            if exclude and exclude[0] <= x < exclude[2] and exclude[1] <= y < exclude[3]:
                continue
            if screen.pixel(x, y) != tuple(color):
                wrong += 1
                first = first or (x, y, screen.pixel(x, y))
    return [f"{wrong} pixels are not {tuple(color)}; first {first}"] if wrong else []


def matching_fraction(screen, at, picture, origin, length, step):
    """Of `length` pixels walked from `at` on the screen and from `origin` in the picture,
    each moving by `step` (dx, dy), the fraction that match within TOLERANCE."""
    (sx, sy), (px, py), (dx, dy) = at, origin, step
    same = sum(not _run_differs(screen.pixel(sx + k * dx, sy + k * dy),
                                picture.pixel(px + k * dx, py + k * dy))
               for k in range(length))
    return same / length


def wait_for_screen(problems_of, display=None, timeout=SCREEN_TIMEOUT):
    """Captures the screen until `problems_of(screen)` gives no problems, or until `timeout`
    seconds have passed: what a window paints reaches the X server a little later. Returns
    the last capture, its PPM file and its problems (empty when the screen became right)."""
    deadline = time.monotonic() + timeout
    while True:
        screen, path = capture(display)
        problems = problems_of(screen)
        if not problems or time.monotonic() >= deadline:
            return screen, path, problems
        time.sleep(harness.POLL)
