#!/usr/bin/env bash
# The main job: builds the installer and runs it in a fresh, sandboxed Wine prefix
# with stand-in IDEs, then uninstalls it again and reports what happened.
#
#   scripts/demo.sh [--ides "d7 bcb6"] [--ides none] [--unattended]
#
# With a display (DISPLAY set) the wizard is yours to click through; afterwards the
# script offers the uninstall command the installer registered. Without one (or with
# --unattended) it runs under Xvfb, walks the wizard by itself, uninstalls, and saves
# a screenshot of every page of both programs under build/demo/screenshots.
# TARVEL_DEMO_IDES chooses the IDEs too (d3 d4 d5 d6 d7 d2005 bcb3 bcb4 bcb5 bcb6).
set -uo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
export TARVEL_BUILD_ROOT=${TARVEL_BUILD_ROOT:-$PWD/build}
ides=${TARVEL_DEMO_IDES:-d7 bcb6}
unattended=0
[ -z "${DISPLAY:-}" ] && unattended=1
while [ $# -gt 0 ]; do
  case "$1" in
    --ides) ides=$2; shift 2 ;;
    --ides=*) ides=${1#--ides=}; shift ;;
    --unattended) unattended=1; shift ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "demo: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
[ "$ides" = none ] && ides=""

demo=$TARVEL_BUILD_ROOT/demo
mkdir -p "$demo"
started=$(date +%s)
stage() { echo "[$1/5] $2"; }
fail() { echo "demo: $1" >&2; echo "demo: $2" >&2; exit 1; }

stage 1 "checking the tools"
if ! scripts/install-deps.sh >"$demo/install-deps.log" 2>&1; then
  cat "$demo/install-deps.log" >&2
  fail "the tools could not be installed." "Run this command as root (or with sudo), or install the packages named above with apt-get."
fi
free_mb=$(df -Pm "$TARVEL_BUILD_ROOT" | awk 'NR==2 {print $4}')
if [ "${free_mb:-0}" -lt 2048 ]; then
  fail "only ${free_mb} MB free under $TARVEL_BUILD_ROOT." "Free at least 2 GB there (the build and the Wine sandbox need it), or set TARVEL_BUILD_ROOT to a roomier folder."
fi

stage 2 "building"
if ! { cmake --preset win64 -B "$TARVEL_BUILD_ROOT/win64" &&
       cmake --build "$TARVEL_BUILD_ROOT/win64" -j "$(nproc)" --target setup qlnclear idekit demo_walk; } \
     >"$demo/build.log" 2>&1; then
  tail -n 20 "$demo/build.log" >&2
  fail "the build failed." "See $demo/build.log; 'scripts/test.sh' builds and tests everything."
fi
win64=$TARVEL_BUILD_ROOT/win64

stage 3 "preparing a fresh sandbox Wine prefix with stand-in IDEs: ${ides:-none}"
export TARVEL_SESSION_DIR=$demo/session
template=$demo/prefix-template
if [ ! -f "$template/.tarvel-ready" ]; then
  TARVEL_WINEPREFIX=$template scripts/wine-session.sh prefix >"$demo/prefix.log" 2>&1 ||
    fail "the Wine prefix could not be created." "See $demo/prefix.log."
fi
export TARVEL_WINEPREFIX=$demo/wineprefix
rm -rf "$TARVEL_WINEPREFIX"
# The bulk of the prefix is only read: hard links make a fresh copy cheap; the
# registry files are written, so they are real copies.
cp -al "$template" "$TARVEL_WINEPREFIX" && rm -f "$TARVEL_WINEPREFIX"/*.reg && cp "$template"/*.reg "$TARVEL_WINEPREFIX"/ ||
  fail "the sandbox could not be copied." "Check the free space under $demo."
if [ "$unattended" = 1 ]; then export TARVEL_OWN_DISPLAY=1; fi
trap 'scripts/wine-session.sh stop >/dev/null 2>&1' EXIT
scripts/wine-session.sh start >"$demo/session.log" 2>&1 || fail "Wine did not start." "See $demo/session.log."
run() { TARVEL_WINE_STREAM=1 scripts/wine-run.sh "$@"; }
for v in $ides; do
  case "$v" in
    d3) dir=Delphi3 ;; d4) dir=Delphi4 ;; d5) dir=Delphi5 ;; d6) dir=Delphi6 ;; d7) dir=Delphi7 ;;
    d2005) dir=BDS ;; bcb3) dir=CBuilder3 ;; bcb4) dir=CBuilder4 ;; bcb5) dir=CBuilder5 ;; bcb6) dir=CBuilder6 ;;
    *) fail "unknown IDE '$v'." "Choose from d3 d4 d5 d6 d7 d2005 bcb3 bcb4 bcb5 bcb6, or none." ;;
  esac
  run "$win64/tools/idekit.exe" "$v" "C:\\Program Files\\Borland\\$dir" >>"$demo/idekit.log" 2>&1 ||
    fail "the stand-in IDE $v could not be made." "See $demo/idekit.log."
done

shots=$demo/screenshots
rm -rf "$shots"
winpath() { echo "Z:$1" | tr / '\\'; }
if [ "$unattended" = 1 ]; then
  stage 4 "installing and uninstalling, unattended (screenshots in $shots)"
  run "$win64/tools/demo/demo_walk.exe" walk "$(winpath "$win64/setup/setup.exe")" "$(winpath "$shots")" \
    | tee "$demo/report.txt" | grep -v '^demo: page' || true
  grep -q '^Report' "$demo/report.txt" || fail "the unattended walk did not finish." "See $demo/report.txt."
else
  stage 4 "installing: the wizard is yours"
  run "$win64/setup/setup.exe"
  logcopy=$(winpath "$demo/uninst-copy.qln")
  if run "$win64/tools/demo/demo_walk.exe" save "$logcopy" >/dev/null 2>&1; then
    answer=y
    if [ -t 0 ]; then read -r -p "Run the uninstall command the installer registered? [Y/n] " answer; fi
    case "${answer:-y}" in
      [nN]*) ;;
      *) stage 5 "uninstalling: the uninstaller is yours"; run "$win64/tools/demo/demo_walk.exe" uninstall ;;
    esac
    run "$win64/tools/demo/demo_walk.exe" report "$logcopy" | tee "$demo/report.txt"
  else
    echo "demo: nothing was installed (the wizard was cancelled)."
  fi
fi
echo "  whole demo took        $(( $(date +%s) - started )) s"
stage 5 "done"
