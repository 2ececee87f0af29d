#!/usr/bin/env bash
# The test disk driver in a Wine session (see testdisk_ctl.py for every command):
#   testdisk.sh install STATE_DIR [FIXTURE]   copy in, create, start; answer with FIXTURE
#   testdisk.sh case STATE_DIR MODE [FIXTURE] answer | fail | untouched, from the next open
#   testdisk.sh start|stop STATE_DIR
# STATE_DIR is a session brought up by tools/session/wine-session.sh; FIXTURE is an IDENTIFY
# block from tests/fixtures/identify. The driver comes from $WIN32_BUILD_DIR (build/win32).
set -euo pipefail
exec python3 "$(dirname "$0")/testdisk_ctl.py" "$@"
