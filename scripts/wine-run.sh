#!/usr/bin/env bash
# Runs one Windows program under the private prefix; CTest's cross-compiling emulator.
# The program's output goes through a file and is printed when it ends: processes it
# started may keep an inherited pipe open for a while after they have ended, and a
# test runner would wait for that. TARVEL_WINE_STREAM=1 passes output straight through.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ "${TARVEL_WINE_STREAM:-0}" = 1 ]; then exec "$WINELOADER" "$@"; fi
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
"$WINELOADER" "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
