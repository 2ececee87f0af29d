#!/usr/bin/env python3
"""Installs, configures, starts and stops the test disk driver in a Wine session.

    testdisk_ctl.py install STATE_DIR [FIXTURE]   copy the driver in, create and start it
    testdisk_ctl.py case STATE_DIR MODE [FIXTURE]  set the mode (and block) for what follows
    testdisk_ctl.py start|stop STATE_DIR
    testdisk_ctl.py block FIXTURE OUT_FILE        write a fixture's 512-byte block

STATE_DIR is a session that tools/session/wine-session.sh has brought up. The driver reads
its case at every open from its service key's Parameters (tools/testdisk/settings.h), so a
case changes without restarting the service. FIXTURE is an IDENTIFY block as text
(tests/fixtures/identify/README.md).
"""

import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

SERVICE = "testdisk"
PARAMETERS_KEY = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\%s\\Parameters" % SERVICE
MODES = ("answer", "fail", "untouched", "refuse")

# Where the driver finds its block and writes its log, as Windows and as host paths.
WIN_FOLDER = "C:\\testdisk"
WIN_BLOCK = WIN_FOLDER + "\\identify.bin"
WIN_LOG = WIN_FOLDER + "\\requests.log"

BLOCK_SIZE = 512
WORDS = BLOCK_SIZE // 2
START_TIMEOUT = 30.0



class TestDiskError(RuntimeError):
    pass


def read_block(path):
    """The 512 bytes of a fixture: 256 16-bit words in hex, as `hdparm --Istdout` prints
    them; '#' starts a comment. Word w goes to bytes 2w (low half) and 2w+1 (high half)."""
    words = []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            for token in line.split("#", 1)[0].split():
                if len(token) != 4:
                    raise TestDiskError("%s:%d: %r is not a 4-digit word" % (path, number, token))
                words.append(int(token, 16))
    if len(words) != WORDS:
        raise TestDiskError("%s: %d words, not %d" % (path, len(words), WORDS))
    return b"".join(w.to_bytes(2, "little") for w in words)


def fixture_notes(path):
    """The "# key: value" lines of a fixture as a dict (drive, source, serial, ...); a value
    in double quotes is given without them, blanks inside kept."""
    notes = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            match = re.match(r'#\s*([a-z]+):\s*(.*?)\s*$', line)
            if match:
                key, value = match.groups()
                quoted = re.match(r'"(.*)"$', value)
                notes.setdefault(key, quoted.group(1) if quoted else value)
    return notes


class Session:
    """A Wine session started by wine-session.sh: its environment and its prefix."""

    def __init__(self, state_dir, build_dir=None):
        self.state_dir = os.path.abspath(state_dir)
        self.env = dict(os.environ)
        with open(os.path.join(self.state_dir, "env")) as f:
            for line in f:
                words = shlex.split(line)
                if len(words) == 2 and words[0] == "export" and "=" in words[1]:
                    key, value = words[1].split("=", 1)
                    self.env[key] = value
        self.prefix = self.env["WINEPREFIX"]
        root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
        build_dir = build_dir or os.environ.get("WIN32_BUILD_DIR") or os.path.join(root, "build", "win32")
        self.driver_file = os.path.join(build_dir, "tools", "testdisk", "testdisk.sys")

    def host_path(self, windows_path):
        """The host path of a "C:\\..." path inside the prefix."""
        assert windows_path[:3].upper() == "C:\\"
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def wine(self, *args, timeout=60):
        """Runs a Wine program; its output goes to a file (Wine's services may inherit a
        pipe and hold it open). Gives the exit code and the output."""
        with tempfile.TemporaryFile() as out:
            code = subprocess.run(["wine", *args], env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode
            out.seek(0)
            return code, out.read().decode("latin-1")

    def must(self, *args):
        code, output = self.wine(*args)
        if code != 0:
            raise TestDiskError("wine %s: exit %d\n%s" % (" ".join(args), code, output))
        return code


class TestDisk:
    """The driver in one session."""

    def __init__(self, session):
        self.session = session
        self.block_file = session.host_path(WIN_BLOCK)
        self.log_file = session.host_path(WIN_LOG)

    def install(self):
        """Copies the driver in, creates its service (kept when it exists) and points it at
        its block and log. Leaves it stopped."""
        s = self.session
        if not os.path.isfile(s.driver_file):
            raise TestDiskError("no driver at %s: build the Windows configuration" % s.driver_file)
        drivers = os.path.join(s.prefix, "drive_c", "windows", "system32", "drivers")
        os.makedirs(drivers, exist_ok=True)
        self.stop()
        shutil.copyfile(s.driver_file, os.path.join(drivers, SERVICE + ".sys"))
        os.makedirs(os.path.dirname(self.block_file), exist_ok=True)
        if self.state() is None:
            s.must("sc", "create", SERVICE, "type=", "kernel", "start=", "demand",
                   "binPath=", "C:\\windows\\system32\\drivers\\%s.sys" % SERVICE)
        self.set_values({"Fixture": WIN_BLOCK, "Log": WIN_LOG, "Mode": "answer"})

    def set_values(self, values):
        """Sets REG_SZ values under the service's Parameters key in one regedit run."""
        lines = ["REGEDIT4", "", "[%s]" % PARAMETERS_KEY]
        for name, value in values.items():
            escaped = value.replace("\\", "\\\\").replace('"', '\\"')
            lines.append('"%s"="%s"' % (name, escaped))
        with tempfile.NamedTemporaryFile("w", suffix=".reg", dir=self.session.prefix,
                                         delete=False, encoding="ascii", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
            reg_file = f.name
        try:
            self.session.must("regedit", "/S", "Z:" + reg_file.replace("/", "\\"))
        finally:
            os.unlink(reg_file)

    def set_case(self, mode, block=None):
        """What the next opens get. `block` (512 bytes) replaces the fixture when given."""
        if mode not in MODES:
            raise TestDiskError("unknown mode %r" % mode)
        if block is not None:
            if len(block) != BLOCK_SIZE:
                raise TestDiskError("a block has %d bytes, not %d" % (BLOCK_SIZE, len(block)))
            with open(self.block_file, "wb") as f:
                f.write(block)
        self.set_values({"Mode": mode})

    # Wine's sc gives exit code 1 for every failure, "already running" and "not started"
    # included, so each step asks for the state first.
    def state(self):
        """"RUNNING", "STOPPED", ... or None when the service does not exist."""
        code, output = self.session.wine("sc", "query", SERVICE)
        if code != 0:
            return None
        for line in output.splitlines():
            words = line.split()
            if words[:1] == ["STATE"] and len(words) >= 4:
                return words[3]
        raise TestDiskError("sc query %s: no state in\n%s" % (SERVICE, output))

    def start(self):
        if self.state() != "RUNNING":
            self.session.must("sc", "start", SERVICE)
            self._wait_state("RUNNING")

    def stop(self):
        if self.state() not in (None, "STOPPED"):
            self.session.must("sc", "stop", SERVICE)
            self._wait_state("STOPPED")

    def _wait_state(self, wanted):
        deadline = time.monotonic() + START_TIMEOUT
        while self.state() != wanted:
            if time.monotonic() > deadline:
                raise TestDiskError("%s did not reach %s" % (SERVICE, wanted))
            time.sleep(0.1)

    def clear_log(self):
        try:
            os.unlink(self.log_file)
        except FileNotFoundError:
            pass

    def log(self):
        """The log's records as lists of words: ["open", "device=Scsi0:", ...]."""
        try:
            with open(self.log_file, "rb") as f:
                text = f.read().decode("ascii")
        except FileNotFoundError:
            return []
        return [line.split() for line in text.split("\r\n") if line]


def main(argv):
    if len(argv) >= 4 and argv[1] == "block":
        with open(argv[3], "wb") as f:
            f.write(read_block(argv[2]))
        return 0
    if len(argv) < 3 or argv[1] not in ("install", "case", "start", "stop"):
        print(__doc__, file=sys.stderr)
        return 2
    disk = TestDisk(Session(argv[2]))
    command, rest = argv[1], argv[3:]
    if command == "install":
        disk.install()
        if rest:
            disk.set_case("answer", read_block(rest[0]))
        disk.start()
    elif command == "case":
        if not rest:
            print(__doc__, file=sys.stderr)
            return 2
        disk.set_case(rest[0], read_block(rest[1]) if len(rest) > 1 else None)
    elif command == "start":
        disk.start()
    else:
        disk.stop()
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except TestDiskError as error:
        print("testdisk: %s" % error, file=sys.stderr)
        sys.exit(1)
