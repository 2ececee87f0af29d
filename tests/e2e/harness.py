"""What the end-to-end modules share: running the real start.exe under Wine and watching it.

The session comes from ctest's `wine_test`: WIN32_BUILD_DIR (the cross build), WINE_STATE_DIR
(the shared Wine session) and SOURCE_DIR; the Wine variables (WINEPREFIX, DISPLAY, ...) are
already exported by in-session.sh. Only the standard library is used.

A module usually derives its cases from `StartTestCase`:

    class DateTest(harness.StartTestCase):
        def test_date(self):
            work = self.work_folder()                        # holds case\\gen
            harness.set_system_values({"SystemBiosDate": harness.reg_sz(b"12/31/99")})
            run = self.run_start(work)
            self.assertEqual(run.exit_code, 0)
            self.assertEqual(run.boxes, [])
            self.assertEqual(harness.read_bytes(work / "case/gen/t2.tmp"), b"=12/31/99\\r\\n")

Rules every helper here keeps:
- Every wait is bounded and waits for a condition (a file, a process exit), never a fixed time.
- Wine's output goes to a log file, never to a pipe: Wine's own services inherit it and would
  keep the pipe open.
- Nothing keeps running after a module: `StartTestCase.tearDownClass` looks for processes of
  our programs in this prefix (by their image names in /proc), kills any it finds by pid and
  fails the module, so a leak is seen rather than hidden.
"""

import contextlib
import os
import pathlib
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

# --- the session ----------------------------------------------------------------------------

SOURCE_DIR = pathlib.Path(os.environ.get("SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
WIN32_BUILD_DIR = pathlib.Path(os.environ.get("WIN32_BUILD_DIR", SOURCE_DIR / "build/win32"))
WINE_STATE_DIR = pathlib.Path(os.environ.get("WINE_STATE_DIR", SOURCE_DIR / "build/native/wine-session"))

START_EXE = WIN32_BUILD_DIR / "app/start.exe"
HELPERS_DIR = WIN32_BUILD_DIR / "tools/helpers"
BOX_WATCHER = HELPERS_DIR / "box_watcher.exe"
ADDRESS_RECORDER = HELPERS_DIR / "address_recorder.exe"
FILE_HOLDER = HELPERS_DIR / "file_holder.exe"
SHOW_STATE_STARTER = HELPERS_DIR / "show_state_starter.exe"

# Bounds, in seconds, far above what a start needs (under a second on a warm wineserver);
# the drive request alone may wait for its driver's time-out of 2 seconds.
START_TIMEOUT = 60
HELPER_TIMEOUT = 30
ADDRESS_TIMEOUT = 20
POLL = 0.02

# Image names of the programs the harness starts; a process with one of these names that is
# still alive after a module is a leak. Copies of start.exe under other names are added.
_our_images = {p.name.lower() for p in (START_EXE, BOX_WATCHER, ADDRESS_RECORDER,
                                        FILE_HOLDER, SHOW_STATE_STARTER)}

_scratch = None  # the module's scratch folder, made on first use


def scratch():
    """This module's scratch folder inside the Wine state folder (removed at class teardown).

    It lies on the same file system as the build, which supports `chattr +i`."""
    global _scratch
    if _scratch is None or not _scratch.exists():
        WINE_STATE_DIR.mkdir(parents=True, exist_ok=True)
        _scratch = pathlib.Path(tempfile.mkdtemp(prefix="e2e-", dir=WINE_STATE_DIR))
    return _scratch


def fresh_folder(label):
    """A new empty folder in the scratch folder."""
    return pathlib.Path(tempfile.mkdtemp(prefix=label + "-", dir=scratch()))


def win_path(path):
    """The Windows name of a local path: Wine maps the root of the file system to Z:."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def read_bytes(path):
    """The file's bytes, or None when there is no such file."""
    try:
        return pathlib.Path(path).read_bytes()
    except FileNotFoundError:
        return None


def wait_until(condition, timeout, what):
    """Polls `condition` until it returns a true value, which is returned; raises
    TimeoutError naming `what` once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"gave up after {timeout} s waiting for {what}")
        time.sleep(POLL)


# --- running Windows programs ---------------------------------------------------------------

def _log():
    return open(scratch() / "wine.log", "ab")


def spawn(args, cwd=None, env=None):
    """Starts `wine ARGS...` in the background, output to the log, and returns the Popen.

    The process is the Windows program itself, so Popen.kill() ends that program. `env`
    replaces this process's environment, for instance with another session's (None: ours)."""
    with _log() as log:
        return subprocess.Popen(["wine", *map(str, args)], cwd=cwd, env=env,
                                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)


def finish(process, timeout, what):
    """Waits up to `timeout` seconds for a spawned program; kills it and raises TimeoutError
    when it is still running then. Returns its exit code."""
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=HELPER_TIMEOUT)
        raise TimeoutError(f"{what} still running after {timeout} s; killed") from None


def wine(*args, cwd=None, timeout=HELPER_TIMEOUT):
    """Runs `wine ARGS...` to its end (bounded) and returns the exit code."""
    return finish(spawn(args, cwd=cwd), timeout, f"wine {args[0]}")


# --- the registry ---------------------------------------------------------------------------

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7
SYSTEM_KEY = r"HKEY_LOCAL_MACHINE\HARDWARE\DESCRIPTION\System"


class RegValue:
    """A registry value as raw bytes of a given type, written exactly as given."""

    def __init__(self, reg_type, data):
        self.reg_type = reg_type
        self.data = bytes(data)

    def __repr__(self):
        return f"RegValue({self.reg_type}, {self.data!r})"


def reg_sz(text, reg_type=REG_SZ):
    """A text value with its terminating zero byte."""
    return RegValue(reg_type, bytes(text) + b"\0")


def reg_multi_sz(strings):
    """A multi-string: each string with its zero byte, then the empty string's."""
    return RegValue(REG_MULTI_SZ, b"".join(bytes(s) + b"\0" for s in strings) + b"\0")


def reg_dword(number):
    return RegValue(REG_DWORD, int(number).to_bytes(4, "little"))


def _reg_quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def import_reg(lines):
    """Imports a REGEDIT4 file made of `lines` (texts) with `wine regedit /S`.

    In a REGEDIT4 file hex(1), hex(2) and hex(7) data are ANSI bytes, so any bytes of any
    type go in unchanged. A line "[-KEY]" deletes a key, '"name"=-' a value."""
    path = fresh_folder("reg") / "import.reg"
    path.write_bytes(("REGEDIT4\r\n\r\n" + "\r\n".join(lines) + "\r\n").encode("latin-1"))
    code = wine("regedit", "/S", path)
    if code != 0:
        raise RuntimeError(f"regedit /S {path} failed with {code}")


def set_values(key, values):
    """Sets or removes values of `key` in one import: `values` maps a value name to a
    RegValue, a str (REG_SZ) or None (remove the value)."""
    lines = [f"[{key}]"]
    for name, value in values.items():
        if value is None:
            lines.append(f"{_reg_quote(name)}=-")
        elif isinstance(value, str):
            lines.append(f"{_reg_quote(name)}={_reg_quote(value)}")
        else:
            hex_bytes = ",".join(f"{b:02x}" for b in value.data)
            lines.append(f"{_reg_quote(name)}=hex({value.reg_type:x}):{hex_bytes}")
    import_reg(lines)


def set_system_values(values):
    """Sets or removes values of HKLM\\HARDWARE\\DESCRIPTION\\System (see set_values), such as
    "SystemBiosDate" and "SystemBiosVersion". That key is volatile: it lives as long as the
    session's wineserver."""
    set_values(SYSTEM_KEY, values)


def clear_bios_values():
    """Removes "SystemBiosDate" and "SystemBiosVersion", as in a fresh prefix."""
    set_system_values({"SystemBiosDate": None, "SystemBiosVersion": None})


def query_value(key, name):
    """The REG_SZ text of a value as `wine reg query` shows it, or None when absent."""
    out = fresh_folder("query") / "out.txt"
    with open(out, "wb") as sink:
        process = subprocess.Popen(["wine", "reg", "query", key, "/v", name],
                                   stdin=subprocess.DEVNULL, stdout=sink, stderr=subprocess.STDOUT)
    if finish(process, HELPER_TIMEOUT, "wine reg query") != 0:
        return None
    for line in out.read_text("latin-1").splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[0] == name and parts[1] == "REG_SZ":
            return parts[2] if len(parts) == 3 else ""
    return None


@contextlib.contextmanager
def windows_version(version):
    """Makes Wine report `version` ("win98": platform 1, the 9x family; "win7": platform 2)
    to programs started inside the block; the earlier setting is put back afterwards."""
    key = r"HKEY_CURRENT_USER\Software\Wine"
    earlier = query_value(key.replace("HKEY_CURRENT_USER", "HKCU"), "Version")
    set_values(key, {"Version": version})
    try:
        yield
    finally:
        set_values(key, {"Version": earlier})


# --- the shell's "http" handler -------------------------------------------------------------

class AddressCall:
    """One call of the address recorder: its raw command line and its arguments after the
    program name: [record folder, verb, address]."""

    def __init__(self, command_line, args):
        self.command_line = command_line
        self.args = args

    @property
    def verb(self):
        return self.args[1] if len(self.args) > 1 else None

    @property
    def address(self):
        return self.args[2] if len(self.args) > 2 else None

    def __repr__(self):
        return f"AddressCall({self.command_line!r})"


class AddressRecorder:
    """Our address recorder in place of the browser as the shell's "http" handler.

    Only the verb "open" is registered (every other verb key is removed), and the verb is
    written into the handler's command, so a call shows which verb reached it. Each call
    leaves one file in `folder`. install() keeps the prefix's own handler and restore()
    puts it back."""

    KEY = r"HKEY_CLASSES_ROOT\http"
    VERB = "open"

    def __init__(self):
        self.folder = fresh_folder("addresses")
        self._backup = self.folder.parent / "http-handler-backup.reg"

    def install(self):
        if wine("regedit", "/E", self._backup, self.KEY) != 0:
            self._backup = None
        command = (f'"{win_path(ADDRESS_RECORDER)}" "{win_path(self.folder)}" '
                   f'{self.VERB} "%1"')
        import_reg([f"[-{self.KEY}\\shell]", "",
                    f"[{self.KEY}]", '"URL Protocol"=""', "",
                    f"[{self.KEY}\\shell\\{self.VERB}\\command]", f"@={_reg_quote(command)}"])

    def restore(self):
        import_reg([f"[-{self.KEY}]"])
        if self._backup is not None and self._backup.exists():
            if wine("regedit", "/S", self._backup) != 0:
                raise RuntimeError("could not put the prefix's http handler back")

    def clear(self):
        for path in self.folder.iterdir():
            path.unlink()

    def calls(self):
        """The calls recorded so far (complete records only), oldest file name first."""
        calls = []
        for path in sorted(self.folder.glob("call-*.txt")):
            fields = _parse_fields(path.read_text("ascii").splitlines(), "=")
            calls.append(AddressCall(_unhex(fields["command_line"][0]),
                                     [_unhex(a).decode("latin-1") for a in fields.get("arg", [])]))
        return calls

    def wait_for_calls(self, count=1, timeout=ADDRESS_TIMEOUT):
        """Waits (bounded) until at least `count` calls are recorded and returns them all."""
        return wait_until(lambda: self.calls() if len(self.calls()) >= count else None,
                          timeout, f"{count} call(s) of the http handler")


def _unhex(text):
    return bytes.fromhex(text)


def _parse_fields(lines, sep):
    fields = {}
    for line in lines:
        name, _, value = line.partition(sep)
        fields.setdefault(name, []).append(value)
    return fields


# --- message boxes --------------------------------------------------------------------------

class Box:
    """A message box as the box watcher found it, read while it was up.

    caption, text: bytes (ANSI, exactly as Windows gave them)
    buttons: ids of the visible buttons (IDOK is 1)
    icon: the box shows an icon (which one cannot be told from another process)
    other_visible: another top-level window of the same process was visible
    owned: the box's owner is a window of the same process
    recorder_called: the http handler had already been called
    image: the image name of the process that showed it
    probe_read, probe_write: with a probe file, the Windows error code (0: it opened) of
        opening that file for reading, and for writing, sharing everything; else None"""

    def __init__(self, fields):
        self.image = _unhex(fields["image"]).decode("latin-1")
        self.caption = _unhex(fields["caption"])
        self.text = _unhex(fields["text"])
        self.buttons = [int(b) for b in fields["buttons"].split(",") if b]
        self.icon = fields["icon"] == "1"
        self.other_visible = fields["other_visible"] == "1"
        self.owned = fields["owned"] == "1"
        self.recorder_called = fields["recorder_called"] == "1"
        self.probe_read = int(fields["probe_read"]) if "probe_read" in fields else None
        self.probe_write = int(fields["probe_write"]) if "probe_write" in fields else None

    def __repr__(self):
        return f"Box({self.caption!r}, {self.text!r})"


def parse_boxes(report):
    """The boxes of a box watcher's report, and how the watcher ended."""
    boxes, ended = [], None
    for line in report.splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "box":
            boxes.append(Box(dict(field.split("=", 1) for field in rest.split())))
        elif kind == "end":
            ended = rest
    return boxes, ended


# --- one start of the program ---------------------------------------------------------------

class Run:
    """The outcome of one start: exit_code, boxes (in the order seen, each dismissed with
    OK) and address_calls (the http handler's calls)."""

    def __init__(self, exit_code, boxes, address_calls):
        self.exit_code = exit_code
        self.boxes = boxes
        self.address_calls = address_calls

    def __repr__(self):
        return f"Run(exit_code={self.exit_code}, boxes={self.boxes}, address_calls={self.address_calls})"


def run_program(args, cwd, image, recorder, expect_address=True, probe_file=None,
                timeout=START_TIMEOUT):
    """Runs `wine ARGS...` in `cwd` while the box watcher reads and dismisses every message
    box of processes named `image` (None: of any process); returns a Run. With probe_file,
    the watcher also tries to open that file while each box is up (see Box).

    The http handler's record starts empty. With expect_address, waits (bounded) for its
    first call before returning; otherwise returns the calls seen by the time the program
    ended."""
    recorder.clear()
    folder = fresh_folder("run")
    report, stop = folder / "boxes.txt", folder / "stop"
    watcher_args = [BOX_WATCHER, "--out", win_path(report), "--stop", win_path(stop),
                    "--recorder-dir", win_path(recorder.folder),
                    "--timeout-ms", str(int((timeout + HELPER_TIMEOUT) * 1000))]
    if image is not None:
        watcher_args += ["--image", image]
    if probe_file is not None:
        watcher_args += ["--probe-file", win_path(probe_file)]
    watcher = spawn(watcher_args)
    try:
        exit_code = finish(spawn(args, cwd=cwd), timeout, f"{args[0]} in {cwd}")
    finally:
        stop.touch()
        watcher_code = finish(watcher, HELPER_TIMEOUT, "box watcher")
    boxes, ended = parse_boxes(report.read_text("ascii") if report.exists() else "")
    if watcher_code != 0 or ended != "stop":
        raise RuntimeError(f"box watcher ended with {watcher_code} ({ended})")
    calls = recorder.wait_for_calls() if expect_address else recorder.calls()
    return Run(exit_code, boxes, calls)


def track_image(path):
    """Counts a program of ours by its file name among those that must not outlive a module."""
    _our_images.add(pathlib.Path(path).name.lower())


def copy_program(folder, name, source=START_EXE):
    """Copies start.exe into `folder` under `name` and returns the copy's path."""
    track_image(name)
    target = pathlib.Path(folder) / name
    shutil.copyfile(source, target)
    return target


# --- files held, files locked ---------------------------------------------------------------

@contextlib.contextmanager
def file_held(path, share="read"):
    """Keeps `path` open in another Windows process for reading, sharing read access only
    ("read") or nothing ("none"), for the length of the block."""
    folder = fresh_folder("hold")
    ready, stop = folder / "ready", folder / "stop"
    holder = spawn([FILE_HOLDER, "--file", win_path(path), "--ready", win_path(ready),
                    "--stop", win_path(stop), "--share", share,
                    "--timeout-ms", str((START_TIMEOUT + HELPER_TIMEOUT) * 1000)])
    try:
        state = wait_until(lambda: read_bytes(ready), HELPER_TIMEOUT, "the file holder")
        if state != b"held":
            raise RuntimeError(f"file holder could not open {path}: {state!r}")
        yield
    finally:
        stop.touch()
        finish(holder, HELPER_TIMEOUT, "file holder")


def set_immutable(path, immutable):
    """Sets or clears the immutable attribute (chattr): Windows then cannot open the file
    for writing, as it could not open a read-only file."""
    flag = "+i" if immutable else "-i"
    subprocess.run(["chattr", flag, str(path)], check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=HELPER_TIMEOUT)


# --- leaks ----------------------------------------------------------------------------------

def _image_of(pid):
    """The image name of a Wine process of this prefix, or None for anything else."""
    try:
        environ = pathlib.Path(f"/proc/{pid}/environ").read_bytes().split(b"\0")
        cmdline = pathlib.Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")
    except OSError:
        return None
    prefix = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    if prefix not in environ:
        return None
    # While Wine starts a program its command line is "wine-preloader wine PROGRAM ...";
    # afterwards it is the program's own.
    for arg in cmdline[:3]:
        name = arg.decode("latin-1").replace("\\", "/").rsplit("/", 1)[-1].lower()
        if name in _our_images:
            return name
    return None


def leftover_processes():
    """{pid: image} of the processes of our programs still running in this prefix."""
    found = {}
    for entry in pathlib.Path("/proc").iterdir():
        if entry.name.isdigit() and int(entry.name) != os.getpid():
            image = _image_of(int(entry.name))
            if image is not None:
                found[int(entry.name)] = image
    return found


def end_leftovers(timeout=HELPER_TIMEOUT):
    """Gives our programs `timeout` seconds to end on their own (a recorder the shell started
    may still be writing), then kills what is left by pid. Returns what had to be killed."""
    try:
        wait_until(lambda: not leftover_processes(), timeout, "our programs to end")
        return {}
    except TimeoutError:
        left = leftover_processes()
        for pid in left:
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)
        return left


# --- the base class -------------------------------------------------------------------------

class StartTestCase(unittest.TestCase):
    """Cases that run start.exe: the address recorder is the http handler for the class, and
    each case starts without "SystemBiosDate" and "SystemBiosVersion" and with no calls
    recorded. Teardown puts the prefix's handler back, removes the scratch folder and fails
    if any of our programs is still running."""

    recorder = None

    @classmethod
    def setUpClass(cls):
        # A missing build or session is a failure, not a reason to skip.
        if "WINEPREFIX" not in os.environ:
            raise RuntimeError("no Wine session: run inside tools/session/in-session.sh")
        for program in (START_EXE, BOX_WATCHER, ADDRESS_RECORDER, FILE_HOLDER):
            if not program.exists():
                raise RuntimeError(f"{program} is not built")
        cls.recorder = AddressRecorder()
        cls.recorder.install()

    @classmethod
    def tearDownClass(cls):
        global _scratch
        leaked = end_leftovers()
        try:
            cls.recorder.restore()
            clear_bios_values()
        finally:
            if _scratch is not None:
                shutil.rmtree(_scratch, ignore_errors=True)
                _scratch = None
        if leaked:
            raise AssertionError(f"programs left running, killed: {leaked}")

    def setUp(self):
        self.reset()

    def reset(self):
        """Back to the state a case starts from; a table-driven case calls it per row."""
        self.recorder.clear()
        clear_bios_values()

    def work_folder(self, with_gen=True):
        """A fresh working folder; with_gen gives it the folders case and case\\gen."""
        folder = fresh_folder("work")
        if with_gen:
            (folder / "case" / "gen").mkdir(parents=True)
        return folder

    def run_start(self, cwd, program=START_EXE, expect_address=True, show_state=None,
                  probe_file=None):
        """Runs `program` (start.exe or a copy) with the working folder `cwd`; see run_program.

        With show_state N the program is started by the show-state starter, with
        STARTF_USESHOWWINDOW and wShowWindow N in its STARTUPINFO."""
        program = pathlib.Path(program)
        args = [program]
        if show_state is not None:
            args = [SHOW_STATE_STARTER, str(show_state), win_path(program)]
        return run_program(args, cwd, program.name, self.recorder, expect_address, probe_file)

    def make_immutable(self, path):
        """Makes `path` unwritable for this case; cleared again even when the case fails."""
        set_immutable(path, True)
        self.addCleanup(set_immutable, path, False)
