#!/usr/bin/env bash
# The main job: builds the installer and runs it in a fresh, sandboxed Wine prefix
# with stand-in IDEs, then uninstalls it again and reports what happened.
#
#   scripts/demo.sh [--arch i686|x86_64] [--ides "d7 bcb6" | --ides none]
#                   [--destination PATH] [--dpi N] [--unattended]
#
#   --arch         the programs to run: i686 (build/win32, the release build that
#                  ships; the default where the kernel runs 32-bit programs) or
#                  x86_64 (build/win64, the test build)
#   --ides         the stand-in IDEs: any of d3 d4 d5 d6 d7 d2005 bcb3 bcb4 bcb5 bcb6,
#                  or none (default "d7 bcb6")
#   --destination  the folder the unattended walk types on the component page
#                  (default: the one the wizard proposes)
#   --dpi          the display's DPI the programs see (LogPixels of the sandbox
#                  prefix), 72 to 480: 144 is 150 % scale (default 96, 100 %)
#
# With a display (DISPLAY set) the wizard is yours to click through; afterwards the
# script offers the uninstall command the installer registered. Without one (or with
# --unattended) it runs under Xvfb, walks the wizard by itself, uninstalls, and saves
# a screenshot of every page of both programs under build/demo/screenshots. A page
# that does not come, or a window the walk does not expect (a message box, an error
# dialog), stops it within 30 seconds: it names both, saves a screenshot of the
# screen (stuck.png) and exits with status 1. Whatever the way out (the end, a
# failure, Ctrl+C, a signal), the demo ends every program it started.
# TARVEL_DEMO_ARCH and TARVEL_DEMO_IDES choose too; TARVEL_DEMO_DIR moves the results,
# the sandbox and its session out of build/demo.
set -uo pipefail
cd "$(dirname "$0")/.."
export TARVEL_BUILD_ROOT=${TARVEL_BUILD_ROOT:-$PWD/build}
ides=${TARVEL_DEMO_IDES:-d7 bcb6}
arch=${TARVEL_DEMO_ARCH:-}
destination=""
dpi=96
unattended=0
[ -z "${DISPLAY:-}" ] && unattended=1
usage() { awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; }
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=${2:-}; shift 2 || shift ;;
    --arch=*) arch=${1#--arch=}; shift ;;
    --ides) ides=${2:-}; shift 2 || shift ;;
    --ides=*) ides=${1#--ides=}; shift ;;
    --destination) destination=${2:-}; shift 2 || shift ;;
    --destination=*) destination=${1#--destination=}; shift ;;
    --dpi) dpi=${2:-}; shift 2 || shift ;;
    --dpi=*) dpi=${1#--dpi=}; shift ;;
    --unattended) unattended=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "demo: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
# The i686 programs need a kernel that runs 32-bit programs; without one, the demo
# chosen by default falls back to the x86_64 build and says why.
if [ -z "$arch" ] || [ "$arch" = i686 ]; then
  if ! why=$(scripts/runs-32bit.sh); then
    if [ -n "$arch" ]; then
      echo "demo: the i686 programs cannot run here: $why; try --arch x86_64" >&2
      exit 1
    fi
    echo "demo: running the x86_64 programs, since the i686 ones cannot run here: $why." >&2
    arch=x86_64
  fi
fi
arch=${arch:-i686}
case "$arch" in
  i686) preset=win32 ;;
  x86_64) preset=win64 ;;
  *) echo "demo: unknown --arch '$arch': choose i686 (the release build that ships) or x86_64" >&2; exit 2 ;;
esac
[ "$ides" = none ] && ides=""
if [[ "$dpi" =~ ^[0-9]{1,3}$ ]]; then dpi=$((10#$dpi)); else dpi=0; fi
if [ "$dpi" -lt 72 ] || [ "$dpi" -gt 480 ]; then
  echo "demo: --dpi takes a number from 72 to 480 (96 is 100 % scale, 144 is 150 %)" >&2
  exit 2
fi

demo=${TARVEL_DEMO_DIR:-$TARVEL_BUILD_ROOT/demo}
mkdir -p "$demo"
# A second demo in the same folder would wipe the sandbox of the first.
exec 9>"$demo/.running"
if ! flock -n 9; then
  echo "demo: another demo is running in $demo." >&2
  echo "demo: Wait for it to end, or give this one a folder of its own with TARVEL_DEMO_DIR." >&2
  exit 1
fi
started=$(date +%s)
stage() { echo "[$1/5] $2"; }
fail() { echo "demo: $1" >&2; echo "demo: $2" >&2; exit 1; }

# Every long step runs as a process group of its own, so that a signal reaches this
# script at once (bash would hold it until a foreground step ends) and the whole
# step, with whatever it started, can be ended.
exec 3>&2  # the terminal, also while a step's output goes to its log
child=""
session=0
template_busy=0
end_all() {
  if [ -n "$child" ]; then
    kill -TERM -- "-$child" 2>/dev/null
    kill -CONT -- "-$child" 2>/dev/null  # a stopped process takes a signal only once it runs
    for _ in $(seq 1 30); do kill -0 "$child" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$child" 2>/dev/null
    wait "$child" 2>/dev/null  # reaped here, bash says nothing about it
    child=""
  fi
  if [ "$template_busy" = 1 ]; then
    WINEPREFIX=$template /usr/lib/wine/wineserver -k 2>/dev/null
    template_busy=0
  fi
  if [ "$session" = 1 ]; then
    scripts/wine-session.sh stop >/dev/null 2>&1
    session=0
  fi
}
interrupted() {
  trap - INT TERM HUP
  echo >&3
  echo "demo: stopped by $1; ending everything the demo started." >&3
  end_all
  exit "$2"
}
trap end_all EXIT
trap 'interrupted Ctrl+C 130' INT
trap 'interrupted SIGTERM 143' TERM
trap 'interrupted SIGHUP 129' HUP

# Runs "$@" as its own process group and waits for it; its exit status is returned.
step() {
  setsid "$@" &
  child=$!
  wait "$child"
  local status=$?
  child=""
  return $status
}

stage 1 "checking the tools"
# In the foreground: sudo may have to ask for a password.
if ! scripts/install-deps.sh >"$demo/install-deps.log" 2>&1; then
  cat "$demo/install-deps.log" >&2
  fail "the tools could not be installed." "Run this command as root (or with sudo), or install the packages named above with apt-get."
fi
free_mb=$(df -Pm "$TARVEL_BUILD_ROOT" | awk 'NR==2 {print $4}')
if [ "${free_mb:-0}" -lt 2048 ]; then
  fail "only ${free_mb} MB free under $TARVEL_BUILD_ROOT." "Free at least 2 GB there (the build and the Wine sandbox need it), or set TARVEL_BUILD_ROOT to a roomier folder."
fi

bin=$TARVEL_BUILD_ROOT/$preset
stage 2 "building the $arch programs ($bin)"
if ! step bash -c 'cmake --preset "$1" -B "$2" && cmake --build "$2" -j "$(nproc)" --target setup qlnclear idekit demo_walk' \
     build "$preset" "$bin" >"$demo/build.log" 2>&1; then
  tail -n 20 "$demo/build.log" >&2
  fail "the build failed." "See $demo/build.log; 'scripts/test.sh' builds and tests everything."
fi

stage 3 "preparing a fresh sandbox Wine prefix with stand-in IDEs: ${ides:-none}"
export TARVEL_SESSION_DIR=$demo/session
# The booted prefix is a cache of the build folder, shared by every demo folder.
template=$TARVEL_BUILD_ROOT/demo/prefix-template
if [ ! -f "$template/.tarvel-ready" ]; then
  template_busy=1
  TARVEL_WINEPREFIX=$template step scripts/wine-session.sh prefix >"$demo/prefix.log" 2>&1 ||
    fail "the Wine prefix could not be created." "See $demo/prefix.log."
  template_busy=0
fi
export TARVEL_WINEPREFIX=$demo/wineprefix
rm -rf "$TARVEL_WINEPREFIX"
# The bulk of the prefix is only read: hard links make a fresh copy cheap; the
# registry files are written, so they are real copies.
cp -al "$template" "$TARVEL_WINEPREFIX" && rm -f "$TARVEL_WINEPREFIX"/*.reg && cp "$template"/*.reg "$TARVEL_WINEPREFIX"/ ||
  fail "the sandbox could not be copied." "Check the free space under $demo."
if [ "$unattended" = 1 ]; then export TARVEL_OWN_DISPLAY=1; fi
session=1
step scripts/wine-session.sh start >"$demo/session.log" 2>&1 || fail "Wine did not start." "See $demo/session.log."
run() { TARVEL_WINE_STREAM=1 step scripts/wine-run.sh "$@"; }
# Wine reads the DPI when a program starts; the sandbox is fresh, so nothing to restore.
if [ "$dpi" != 96 ]; then
  run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >>"$demo/session.log" 2>&1 ||
    fail "the DPI could not be set." "See $demo/session.log."
fi
for v in $ides; do
  case "$v" in
    d3) dir=Delphi3 ;; d4) dir=Delphi4 ;; d5) dir=Delphi5 ;; d6) dir=Delphi6 ;; d7) dir=Delphi7 ;;
    d2005) dir=BDS ;; bcb3) dir=CBuilder3 ;; bcb4) dir=CBuilder4 ;; bcb5) dir=CBuilder5 ;; bcb6) dir=CBuilder6 ;;
    *) fail "unknown IDE '$v'." "Choose from d3 d4 d5 d6 d7 d2005 bcb3 bcb4 bcb5 bcb6, or none." ;;
  esac
  run "$bin/tools/idekit.exe" "$v" "C:\\Program Files\\Borland\\$dir" >>"$demo/idekit.log" 2>&1 ||
    fail "the stand-in IDE $v could not be made." "See $demo/idekit.log."
done

shots=$demo/screenshots
rm -rf "$shots"
winpath() { echo "Z:$1" | tr / '\\'; }
report=$demo/report.txt
# Shows the walk's new lines, without its page-by-page progress (kept in the report
# file) and the Windows path of its screenshot (the Unix one follows).
shown=0
show_walk() {
  local lines
  lines=$(wc -l <"$report")
  if [ "$lines" -gt "$shown" ]; then
    sed -n "$((shown + 1)),${lines}p" "$report" | tr -d '\r' | grep -Ev '^demo: (page|progress|screenshot)'
    shown=$lines
  fi
}
if [ "$unattended" = 1 ]; then
  stage 4 "installing and uninstalling the $arch programs, unattended (screenshots in $shots)"
  : >"$report"
  TARVEL_WINE_STREAM=1 setsid scripts/wine-run.sh "$bin/tools/demo/demo_walk.exe" walk \
    "$(winpath "$bin/setup/setup.exe")" "$(winpath "$shots")" ${destination:+"$destination"} >"$report" 2>&1 &
  child=$!
  # The walk reports progress at least every 15 seconds and gives up by itself when
  # stuck; silence for longer means the walker itself no longer answers.
  quiet_since=$(date +%s)
  while kill -0 "$child" 2>/dev/null; do
    sleep 0.5
    before=$shown
    show_walk
    if [ "$shown" != "$before" ]; then quiet_since=$(date +%s); fi
    if [ $(( $(date +%s) - quiet_since )) -ge 20 ]; then
      echo "demo: the walker has said nothing for 20 seconds; ending it." >&2
      end_all
      fail "the unattended walk did not finish." "See $report."
    fi
  done
  wait "$child"
  walked=$?
  child=""
  show_walk
  if [ "$walked" != 0 ] || ! grep -q '^Report' "$report"; then
    [ -f "$shots/stuck.png" ] && echo "demo: the screen when it stopped: $shots/stuck.png" >&2
    fail "the unattended walk did not finish (status $walked)." "See $report for all it saw."
  fi
else
  stage 4 "installing the $arch programs: the wizard is yours"
  run "$bin/setup/setup.exe"
  logcopy=$(winpath "$demo/uninst-copy.qln")
  if run "$bin/tools/demo/demo_walk.exe" save "$logcopy" >/dev/null 2>&1; then
    answer=y
    if [ -t 0 ]; then read -r -p "Run the uninstall command the installer registered? [Y/n] " answer; fi
    case "${answer:-y}" in
      [nN]*) ;;
      *) stage 5 "uninstalling: the uninstaller is yours"; run "$bin/tools/demo/demo_walk.exe" uninstall ;;
    esac
    run "$bin/tools/demo/demo_walk.exe" report "$logcopy" >"$report"
    tr -d '\r' <"$report"
  else
    echo "demo: nothing was installed (the wizard was cancelled)."
  fi
fi
end_all
echo "  whole demo took        $(( $(date +%s) - started )) s"
stage 5 "done"
