#!/usr/bin/env bash
# Starts or stops the Wine session of a test run:
#     wine-session.sh start|stop|prefix WINE_DIR [PROBE.exe]
# start: a virtual X display (Xvfb) on a free display number, the Wine prefix
# (created once, with quiet and fast settings), a persistent wineserver and a
# warm-up, so that later program starts take milliseconds.
# stop: ends the wineserver and the display.
# prefix: only creates the prefix (for running on a real desktop).
set -euo pipefail
action=$1
export LUMAVINE_WINE_DIR=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$LUMAVINE_WINE_DIR"
. "$here/wine-env.sh"
log=$LUMAVINE_WINE_DIR/session.log

start_display() {
  local n
  for n in $(seq 90 190); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$LUMAVINE_WINE_DIR/xvfb.log" 2>&1 </dev/null &
    echo $! >"$LUMAVINE_WINE_DIR/xvfb.pid"
    for _ in $(seq 100); do
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        echo "DISPLAY=:$n" >"$LUMAVINE_WINE_DIR/display.sh"
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    kill "$(cat "$LUMAVINE_WINE_DIR/xvfb.pid")" 2>/dev/null || true
  done
  echo "wine-session: no free X display" >&2
  return 1
}

create_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.lumavine-settings" ] && return 0
  echo "wine-session: creating the Wine prefix $WINEPREFIX"
  timeout 170 "$WINELOADER" wineboot -u >>"$log" 2>&1 </dev/null
  timeout 60 "$WINELOADER" reg import "$here/wine-settings.reg" >>"$log" 2>&1 </dev/null
  timeout 60 "$WINESERVER" -w
  touch "$WINEPREFIX/.lumavine-settings"
}

case "$action" in
  start)
    "$here/wine-session.sh" stop "$LUMAVINE_WINE_DIR" >/dev/null 2>&1 || true
    start_display
    create_prefix
    # Background processes must not hold the test runner's output pipe.
    "$WINESERVER" -p >>"$log" 2>&1 </dev/null
    timeout 60 "$WINELOADER" cmd /c exit 0 >>"$log" 2>&1 </dev/null
    # The first window and text of a new prefix build its desktop and font
    # cache, which can take a minute: do it here, not inside a test's wait.
    if [ -n "${3:-}" ]; then
      timeout 300 "$WINELOADER" "$3" warm-up >>"$log" 2>&1 </dev/null || true
    fi
    echo "wine-session: display $DISPLAY, prefix $WINEPREFIX"
    ;;
  prefix)
    create_prefix
    ;;
  stop)
    "$WINESERVER" -k 2>/dev/null || true
    if [ -f "$LUMAVINE_WINE_DIR/xvfb.pid" ]; then
      kill "$(cat "$LUMAVINE_WINE_DIR/xvfb.pid")" 2>/dev/null || true
      rm -f "$LUMAVINE_WINE_DIR/xvfb.pid"
    fi
    rm -f "$LUMAVINE_WINE_DIR/display.sh"
    ;;
  *)
    echo "usage: wine-session.sh start|stop|prefix WINE_DIR" >&2
    exit 2
    ;;
esac
