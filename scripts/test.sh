#!/usr/bin/env bash
# The test command: installs what is missing, builds the native, win32 and win64
# configurations and runs every test. Windows tests run under a private Wine prefix,
# display and wineserver that are ended when this script ends, also on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
export TARVEL_BUILD_ROOT=${TARVEL_BUILD_ROOT:-$PWD/build}
jobs=$(nproc)
started=$(date +%s)

scripts/install-deps.sh

step() { echo "== $*"; }
failed=0

step "native: configure, build, unit tests"
cmake --preset native -B "$TARVEL_BUILD_ROOT/native" >/dev/null
cmake --build "$TARVEL_BUILD_ROOT/native" -j "$jobs"
ctest --test-dir "$TARVEL_BUILD_ROOT/native" -j "$jobs" --output-on-failure || failed=1

# Both Windows builds run every Windows test under Wine: the i686 release build that
# ships (-Os, stripped, 32-bit registry view and SysWOW64 under Wine's WoW64) and the
# x86_64 build of the same sources. One Wine session serves both stages.
# A Windows program that Wine fails to start at all (seen rarely under load, with no
# output) gets one more try; a test that fails on its merits fails both times.
wine_tests() { ctest --test-dir "$TARVEL_BUILD_ROOT/$1" --output-on-failure --repeat until-pass:2 "${@:2}"; }
trap 'scripts/wine-session.sh stop' EXIT
session_started=0
start_session() {
  [ $session_started = 1 ] && return 0
  TARVEL_OWN_DISPLAY=1 scripts/wine-session.sh start
  session_started=1
}

step "win32 (i686 release, what ships): configure, build, release checks, tests under Wine"
cmake --preset win32 -B "$TARVEL_BUILD_ROOT/win32" >/dev/null
cmake --build "$TARVEL_BUILD_ROOT/win32" -j "$jobs"
if why=$(scripts/runs-32bit.sh); then
  start_session
  wine_tests win32 || failed=1
else
  echo "== win32: the i686 stage under Wine was not run: $why; only its release checks ran"
  ctest --test-dir "$TARVEL_BUILD_ROOT/win32" --output-on-failure -R '^release\.' || failed=1
fi

step "win64 (x86_64): configure, build, tests under Wine"
cmake --preset win64 -B "$TARVEL_BUILD_ROOT/win64" >/dev/null
cmake --build "$TARVEL_BUILD_ROOT/win64" -j "$jobs"
start_session
wine_tests win64 || failed=1
scripts/wine-session.sh stop
trap - EXIT

step "fuzz targets, ${TARVEL_FUZZ_SECONDS:-20} s each"
scripts/fuzz.sh "${TARVEL_FUZZ_SECONDS:-20}" || failed=1

echo "== all tests took $(( $(date +%s) - started )) s"
exit $failed
