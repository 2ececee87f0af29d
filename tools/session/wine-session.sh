#!/usr/bin/env bash
# One Wine session for a whole test run: a 32-bit prefix, a virtual display and one
# persistent wineserver, so that volatile registry values survive between programs.
#
#   wine-session.sh up STATE_DIR [WIDTHxHEIGHT]   create or reuse, start, write STATE_DIR/env
#   wine-session.sh down STATE_DIR                stop the wineserver and the display
#
# STATE_DIR/env holds the variables a test sources before it runs `wine`.
set -euo pipefail

cmd=${1:?up or down}
state=${2:?state directory}
screen=${3:-1024x768}
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEARCH=win32
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

free_display() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

down() {
  if [ -f "$state/env" ]; then
    # shellcheck disable=SC1091
    . "$state/env"
    wineserver -k >/dev/null 2>&1 || true
    wait_for 20 bash -c '! pgrep -f "wineserver" >/dev/null 2>&1 || ! wineserver -k >/dev/null 2>&1' || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" >/dev/null 2>&1 || true; fi
    rm -f "$state/env"
  fi
}

up() {
  down
  local n
  n=$(free_display)
  setsid Xvfb ":$n" -screen 0 "${screen}x24" -nolisten tcp </dev/null >/dev/null 2>&1 &
  local xvfb_pid=$!
  wait_for 20 test -e "/tmp/.X11-unix/X$n"
  export DISPLAY=":$n"

  # The wineserver and Wine's own services inherit output: keep it away from pipes.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1 || true
  fi
  setsid wineserver -p </dev/null >/dev/null 2>&1 || true
  wineboot </dev/null >/dev/null 2>&1 || true
  # Xvfb runs no window manager: Wine would wait 2 s for one each time a managed window
  # goes away. Unmanaged windows keep their Win32 position and size and go at once.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1

  cat > "$state/env" <<ENV
export WINEARCH=win32
export WINEPREFIX='$WINEPREFIX'
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export DISPLAY=':$n'
export XVFB_PID=$xvfb_pid
ENV
}

case "$cmd" in
  up) up ;;
  down) down ;;
  *) echo "usage: $0 up|down STATE_DIR [WIDTHxHEIGHT]" >&2; exit 2 ;;
esac
