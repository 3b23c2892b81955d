#!/usr/bin/env bash
# The test command: installs what is missing, builds the native, win64 and win32
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

step "win32 release: configure, build, release checks"
cmake --preset win32 -B "$TARVEL_BUILD_ROOT/win32" >/dev/null
cmake --build "$TARVEL_BUILD_ROOT/win32" -j "$jobs"
ctest --test-dir "$TARVEL_BUILD_ROOT/win32" --output-on-failure || failed=1

step "win64: configure, build, tests under Wine"
cmake --preset win64 -B "$TARVEL_BUILD_ROOT/win64" >/dev/null
cmake --build "$TARVEL_BUILD_ROOT/win64" -j "$jobs"
trap 'scripts/wine-session.sh stop' EXIT
TARVEL_OWN_DISPLAY=1 scripts/wine-session.sh start
# A Windows program that Wine fails to start at all (seen rarely under load, with no
# output) gets one more try; a test that fails on its merits fails both times.
ctest --test-dir "$TARVEL_BUILD_ROOT/win64" --output-on-failure --repeat until-pass:2 || failed=1
scripts/wine-session.sh stop
trap - EXIT

step "fuzz targets, ${TARVEL_FUZZ_SECONDS:-20} s each"
scripts/fuzz.sh "${TARVEL_FUZZ_SECONDS:-20}" || failed=1

echo "== all tests took $(( $(date +%s) - started )) s"
exit $failed
