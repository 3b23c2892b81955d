#!/usr/bin/env bash
# The benchmark (not part of scripts/test.sh): builds win64 and win32, starts a Wine
# session of its own, times a full installation and its uninstall beside the baseline
# and prints the table; the same figures go to <build>/benchmark.json.
#   scripts/benchmark.sh [RUNS]      (default 3)
#   The programs timed are the x86_64 build (this Wine runs no 32-bit programs);
#   TARVEL_BENCH_ARCH=win32 times the i686 release where it can run.
set -euo pipefail
cd "$(dirname "$0")/.."
export TARVEL_BUILD_ROOT=${TARVEL_BUILD_ROOT:-$PWD/build}
runs=${1:-3}
arch=${TARVEL_BENCH_ARCH:-win64}
jobs=2
scripts/install-deps.sh

for preset in win64 win32; do
  cmake --preset $preset -B "$TARVEL_BUILD_ROOT/$preset" >/dev/null
  cmake --build "$TARVEL_BUILD_ROOT/$preset" -j $jobs >/dev/null
done

win() { echo "Z:$(realpath "$1" | tr / '\\')"; }
measured=$TARVEL_BUILD_ROOT/$arch
w32=$TARVEL_BUILD_ROOT/win32 w64=$TARVEL_BUILD_ROOT/win64

# The programs are weighed without their payload: setup_bare is setup.exe without the
# payload resource script, and the code alone is setup.exe without any resource.
sizes=(
  --size "i686 setup.exe=$(win "$w32/setup/setup.exe")"
  --size "i686 setup.exe without payload=$(win "$w32/tools/bench/setup_bare.exe")"
  --size "i686 setup.exe without any resource=$(win "$w32/setup/setup_without_template.exe")"
  --size "i686 qlnclear.exe=$(win "$w32/uninstaller/qlnclear.exe")"
  --size "x86_64 setup.exe without payload=$(win "$w64/tools/bench/setup_bare.exe")"
  --size "x86_64 setup.exe without any resource=$(win "$w64/setup/setup_without_template.exe")"
  --size "x86_64 qlnclear.exe=$(win "$w64/uninstaller/qlnclear.exe")"
)

trap 'scripts/wine-session.sh stop' EXIT
scripts/wine-session.sh start
scripts/wine-run.sh "$w64/tests/wine/bench/benchmark.exe" \
  --setup "$(win "$measured/setup/setup.exe")" \
  --baseline "$(win "$measured/tools/bench/bench_baseline.exe")" \
  --timed "$(win "$measured/tools/bench/setup_timed.exe")" \
  --timed-uninstaller "$(win "$measured/tools/bench/qlnclear_timed.exe")" \
  --runs "$runs" --json "$(win "$TARVEL_BUILD_ROOT")\\benchmark.json" "${sizes[@]}"
