#!/usr/bin/env bash
# The main job: builds the installer and runs it under a sandboxed Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
export TARVEL_BUILD_ROOT=${TARVEL_BUILD_ROOT:-$PWD/build}
scripts/install-deps.sh
echo "== building"
cmake --preset win64 -B "$TARVEL_BUILD_ROOT/win64" >/dev/null
cmake --build "$TARVEL_BUILD_ROOT/win64" -j "$(nproc)" --target setup >/dev/null
trap 'scripts/wine-session.sh stop' EXIT
scripts/wine-session.sh start
echo "== running setup.exe"
scripts/wine-run.sh "$TARVEL_BUILD_ROOT/win64/setup/setup.exe"
