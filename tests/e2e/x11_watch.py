"""What the X server sees of the windows on a screen: a listener on the root window that
selects SubstructureNotify and so receives the creation, configuration and mapping of
every top-level X window, however briefly it lives. Wine maps a pop-up
without a caption as an override-redirect window at its Win32 position and size, so a
window that is on the screen only for a moment is caught here. Xlib through ctypes."""

import ctypes
import ctypes.util
import os

_xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

Window = ctypes.c_ulong

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
CREATE_NOTIFY, MAP_NOTIFY, CONFIGURE_NOTIFY = 16, 19, 22


class _Any(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p)]


class _Create(ctypes.Structure):
    _fields_ = _Any._fields_ + [
        ("parent", Window), ("window", Window), ("x", ctypes.c_int), ("y", ctypes.c_int),
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("border_width", ctypes.c_int),
        ("override_redirect", ctypes.c_int)]


class _Configure(ctypes.Structure):
    _fields_ = _Any._fields_ + [
        ("event", Window), ("window", Window), ("x", ctypes.c_int), ("y", ctypes.c_int),
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("border_width", ctypes.c_int),
        ("above", Window), ("override_redirect", ctypes.c_int)]


class _Map(ctypes.Structure):
    _fields_ = _Any._fields_ + [
        ("event", Window), ("window", Window), ("override_redirect", ctypes.c_int)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("create", _Create), ("configure", _Configure),
                ("map", _Map), ("pad", ctypes.c_long * 24)]


_xlib.XOpenDisplay.restype = ctypes.c_void_p
_xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
_xlib.XDefaultRootWindow.restype = Window
_xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_xlib.XSelectInput.argtypes = [ctypes.c_void_p, Window, ctypes.c_long]
_xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_xlib.XPending.argtypes = [ctypes.c_void_p]
_xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
_xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]


class Mapping:
    """One map of a window: its geometry at that moment and whether it was override-redirect
    (placed by its program, not by a window manager)."""

    def __init__(self, window, x, y, width, height, override_redirect):
        self.window = window
        self.x, self.y, self.width, self.height = x, y, width, height
        self.override_redirect = bool(override_redirect)

    def __repr__(self):
        kind = "override-redirect" if self.override_redirect else "managed"
        return f"Mapping({self.width}x{self.height}+{self.x}+{self.y}, {kind})"


class RootWatch:
    """Listens on the root window of `display` (default: DISPLAY) from construction on;
    mappings() reads what has happened so far. Use as a context manager."""

    def __init__(self, display=None):
        name = (display or os.environ["DISPLAY"]).encode()
        self._display = _xlib.XOpenDisplay(name)
        if not self._display:
            raise RuntimeError(f"cannot open X display {name.decode()}")
        _xlib.XSelectInput(self._display, _xlib.XDefaultRootWindow(self._display),
                           SUBSTRUCTURE_NOTIFY_MASK)
        _xlib.XSync(self._display, 0)  # selected before anything the caller starts
        self._geometry = {}
        self._mappings = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self._display:
            _xlib.XCloseDisplay(self._display)
            self._display = None

    def mappings(self):
        """Every map seen so far, in order. The round trip first makes sure that what the X
        server did before this call has arrived."""
        _xlib.XSync(self._display, 0)
        event = _Event()
        while _xlib.XPending(self._display) > 0:
            _xlib.XNextEvent(self._display, ctypes.byref(event))
            self._note(event)
        return list(self._mappings)

    def _note(self, event):
        if event.type == CREATE_NOTIFY:
            e = event.create
            self._geometry[e.window] = (e.x, e.y, e.width, e.height)
        elif event.type == CONFIGURE_NOTIFY:
            e = event.configure
            self._geometry[e.window] = (e.x, e.y, e.width, e.height)
        elif event.type == MAP_NOTIFY:
            e = event.map
            x, y, width, height = self._geometry.get(e.window, (0, 0, 0, 0))
            self._mappings.append(Mapping(e.window, x, y, width, height, e.override_redirect))
