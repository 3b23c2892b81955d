#!/usr/bin/env bash
# Starts and stops what one batch of Windows tests needs: the prefix (created once),
# a display (Xvfb when none is set) and one persistent wineserver. Every process it
# starts is recorded by PID and ended by PID.
#   wine-session.sh start | stop | prefix
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
mkdir -p "$TARVEL_SESSION_DIR"

log() { echo "wine-session: $*" >&2; }

# Wine links the user's Desktop, Documents, Music, ... to the host's home folder:
# they become plain folders, so nothing a Windows program deletes can reach beyond
# the prefix, and Wine is kept from updating the prefix, which would link them again.
sandbox_home() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
  echo disable >"$WINEPREFIX/.update-timestamp"
}

# A prefix booted while Wine's 32-bit half was missing has no 32-bit system DLLs and
# cannot run the i686 programs: where that half is here now, it is made anew.
lacks_32bit_half() {
  [ -x /usr/lib/wine/wine ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}

make_prefix() {
  if [ -f "$WINEPREFIX/.tarvel-ready" ] && ! lacks_32bit_half; then sandbox_home; return 0; fi
  log "creating the Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINELOADER" wineboot -i >"$TARVEL_SESSION_DIR/wineboot.log" 2>&1 || true
  "$WINESERVER" -w
  # Wine's own bitmap fonts, so "MS Sans Serif" is the face the layout was made for.
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # No window manager under Xvfb: unmanaged windows, or every destroy waits 2 s.
  "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
  "$WINESERVER" -w
  sandbox_home
  touch "$WINEPREFIX/.tarvel-ready"
}

start_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${TARVEL_OWN_DISPLAY:-0}" != 1 ]; then return 0; fi
  local fd_file="$TARVEL_SESSION_DIR/displayfd"
  rm -f "$fd_file"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fd_file" \
    >"$TARVEL_SESSION_DIR/xvfb.log" 2>&1 &
  echo $! >"$TARVEL_SESSION_DIR/xvfb.pid"
  for _ in $(seq 1 100); do
    if [ -s "$fd_file" ]; then break; fi
    sleep 0.05
  done
  local n
  n=$(tr -dc '0-9' <"$fd_file")
  [ -n "$n" ] || { log "Xvfb did not start (see $TARVEL_SESSION_DIR/xvfb.log)"; exit 1; }
  echo ":$n" >"$TARVEL_SESSION_DIR/display"
  export DISPLAY=":$n"
}

start_server() {
  "$WINESERVER" -f -p >"$TARVEL_SESSION_DIR/wineserver.log" 2>&1 &
  echo $! >"$TARVEL_SESSION_DIR/wineserver.pid"
  # The first program of a session starts Wine's background services, which inherit
  # its output: start them here, writing to a log, so they never hold a test
  # runner's pipe open.
  "$WINELOADER" cmd.exe /c exit </dev/null >"$TARVEL_SESSION_DIR/warmup.log" 2>&1 || true
}

stop_pid() {
  local file=$1
  [ -f "$file" ] || return 0
  local pid
  pid=$(cat "$file")
  rm -f "$file"
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 60); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.05; done
    kill -9 "$pid" 2>/dev/null || true
  fi
}

case "${1:-}" in
  prefix) make_prefix ;;
  start)
    if [ -f "$TARVEL_SESSION_DIR/wineserver.pid" ] && kill -0 "$(cat "$TARVEL_SESSION_DIR/wineserver.pid")" 2>/dev/null; then
      log "a session is already running"
      exit 0
    fi
    make_prefix
    start_display
    start_server
    ;;
  stop)
    # The wineserver ends the Windows processes of this prefix as it goes.
    if [ -f "$TARVEL_SESSION_DIR/wineserver.pid" ]; then "$WINESERVER" -k 2>/dev/null || true; fi
    stop_pid "$TARVEL_SESSION_DIR/wineserver.pid"
    stop_pid "$TARVEL_SESSION_DIR/xvfb.pid"
    rm -f "$TARVEL_SESSION_DIR/display" "$TARVEL_SESSION_DIR/displayfd"
    ;;
  *) echo "usage: $0 start|stop|prefix" >&2; exit 2 ;;
esac
