#!/usr/bin/env bash
# The benchmark (not part of scripts/test.sh): builds what it times in win32 and win64,
# starts a Wine session of its own, times a full installation and its uninstall beside
# the baseline and prints the table and where the time goes; the same figures go to
# <build>/benchmark.json.
#   scripts/benchmark.sh [--x86_64] [RUNS]      (RUNS default 3)
# The programs timed are the i686 release (build/win32), what users get, where this
# machine runs 32-bit programs; otherwise, or with --x86_64, the x86_64 build. The
# benchmark's driver is built for the same architecture as the programs it times.
set -euo pipefail
cd "$(dirname "$0")/.."
export TARVEL_BUILD_ROOT=${TARVEL_BUILD_ROOT:-$PWD/build}
arch=
runs=3
for arg in "$@"; do
  case "$arg" in
    --x86_64) arch=win64 ;;
    ''|*[!0-9]*) echo "usage: $0 [--x86_64] [RUNS]" >&2; exit 2 ;;
    *) runs=$arg ;;
  esac
done
jobs=2
scripts/install-deps.sh
if [ -z "$arch" ]; then
  if why=$(scripts/runs-32bit.sh); then arch=win32; else
    arch=win64
    echo "benchmark: timing the x86_64 build: $why" >&2
  fi
fi

targets=(benchmark qlnclear qlnclear_timed setup_without_template)
for preset in win64 win32; do
  cmake --preset $preset -B "$TARVEL_BUILD_ROOT/$preset" >/dev/null
  cmake --build "$TARVEL_BUILD_ROOT/$preset" -j $jobs --target "${targets[@]}" >/dev/null
done

win() { echo "Z:$(realpath "$1" | tr / '\\')"; }
measured=$TARVEL_BUILD_ROOT/$arch
w32=$TARVEL_BUILD_ROOT/win32 w64=$TARVEL_BUILD_ROOT/win64
shown=$(realpath --relative-to="$PWD" "$measured")
if [ "$arch" = win32 ]; then label="the i686 release, $shown"; else label="the x86_64 build, $shown"; fi

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
scripts/wine-run.sh "$measured/tests/wine/bench/benchmark.exe" \
  --build "$label" \
  --setup "$(win "$measured/setup/setup.exe")" \
  --baseline "$(win "$measured/tools/bench/bench_baseline.exe")" \
  --timed "$(win "$measured/tools/bench/setup_timed.exe")" \
  --timed-uninstaller "$(win "$measured/tools/bench/qlnclear_timed.exe")" \
  --runs "$runs" --json "$(win "$TARVEL_BUILD_ROOT")\\benchmark.json" "${sizes[@]}"
