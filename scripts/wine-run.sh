#!/usr/bin/env bash
# Runs one Windows program under the private prefix; CTest's cross-compiling emulator.
# The program's output goes through a file and is printed when it ends: processes it
# started may keep an inherited pipe open for a while after they have ended, and a
# test runner would wait for that. TARVEL_WINE_STREAM=1 passes output straight through.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
# Without a session there is no display and no wineserver of ours: every GUI test
# would fail for that reason alone, and Wine would leave a server of its own behind.
server_pid=$(cat "$TARVEL_SESSION_DIR/wineserver.pid" 2>/dev/null || true)
if [ -z "$server_pid" ] || ! kill -0 "$server_pid" 2>/dev/null; then
  echo "wine-run: no Wine session is running for $TARVEL_BUILD_ROOT; start one with scripts/wine-session.sh start" >&2
  exit 125
fi
if [ "${TARVEL_WINE_STREAM:-0}" = 1 ]; then exec "$WINELOADER" "$@"; fi
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
"$WINELOADER" "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
