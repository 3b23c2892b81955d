#!/usr/bin/env bash
# Runs the unattended demo of one build in a sandbox of its own: the whole walk and
# its report, a walk stopped by a box it did not expect, and a demo ended by SIGTERM.
# Each must end with the status and words expected, in time, and leave nothing running.
#   check_demo.sh BUILD_ROOT ARCH DEMO_DIR
set -u -o pipefail
cd "$(dirname "$0")/../.."
export TARVEL_BUILD_ROOT=$1
arch=$2
export TARVEL_DEMO_DIR=$3
unset DISPLAY
mkdir -p "$TARVEL_DEMO_DIR"
out=$TARVEL_DEMO_DIR/check.out
fail=0
problem() { echo "check_demo: $case_name: $1"; fail=1; }
expect() { grep -Eq -- "$1" "$out" || problem "the output lacks: $1"; }

# Processes that the demo started carry its session folder in their environment.
left_running() {
  local e
  for e in /proc/[0-9]*/environ; do
    if { tr '\0' '\n' <"$e"; } 2>/dev/null | grep -qxF "TARVEL_SESSION_DIR=$TARVEL_DEMO_DIR/session"; then
      local pid=${e#/proc/}
      echo "${pid%/environ} $({ tr '\0' ' ' <"/proc/${pid%/environ}/cmdline"; } 2>/dev/null)"
    fi
  done
}

# Runs the demo; with a signal, sends it DELAY seconds after the stage-4 line. Sets
# status and `late`: the seconds from the stage-4 line (or the signal) to the end.
run_demo() {
  local signal=$1 delay=$2
  shift 2
  [ "$signal" = none ] && signal=""
  scripts/demo.sh --unattended --arch "$arch" "$@" >"$out" 2>&1 &
  local pid=$! from=""
  while kill -0 "$pid" 2>/dev/null; do
    if [ -z "$from" ] && grep -q '^\[4/5\]' "$out"; then
      if [ -n "$signal" ]; then sleep "$delay"; kill "-$signal" "$pid"; fi
      from=$(date +%s)
    fi
    sleep 0.2
  done
  wait "$pid"
  status=$?
  late=$(( $(date +%s) - ${from:-$(date +%s)} ))
  tr -d '\r' <"$out" >"$out.tmp" && mv "$out.tmp" "$out"
}

# name | arguments | signal and its delay | status | within seconds | words expected ('|' cannot occur)
cases=(
  "whole walk|||0|120|^\[5/5\] done"
  "refused destination|--ides none --destination C:\\windows\\win.ini\\TarvelLib||1|30|stuck waiting for the installation page \(step 3/4\): a window it did not expect came up"
  "SIGTERM during the walk|--ides none|TERM 2|143|30|stopped by SIGTERM; ending everything the demo started"
)
for row in "${cases[@]}"; do
  IFS='|' read -r case_name args signal want_status within words <<<"$row"
  read -r -a argv <<<"$args"
  read -r sig delay <<<"${signal:-none 0}"
  run_demo "$sig" "$delay" "${argv[@]}"
  echo "=== $case_name: status $status, $late s after the walk began or the signal"
  cat "$out"
  [ "$status" -eq "$want_status" ] || problem "demo.sh exited with $status, not $want_status"
  [ "$late" -le "$within" ] || problem "demo.sh took $late s to end (at most $within)"
  expect "$words"
  sleep 1  # the kernel's reaping of what was just ended
  leftovers=$(left_running)
  [ -z "$leftovers" ] || problem "still running after the demo ended: $leftovers"

  shots=$TARVEL_DEMO_DIR/screenshots
  case "$case_name" in
    "whole walk")
      expect 'components installed +5 \( Files for Borland Delphi 7, Files for Borland C\+\+Builder 6, Shared Files, Demo Projects Files, Context Help Files\)'
      expect 'build commands run +6$'
      expect 'registry values +8$'
      # Only the C++Builder 6 CLX build's incremental-link files, which no step records, stay.
      expect 'left after uninstall +2 of what the log named'
      expect 'CBuilder6  \(still holds: tarvelb6clx.ilc, tarvelb6clx.ild, tarvelb6clx.ilf, tarvelb6clx.ils\)'
      for page in setup-1-welcome setup-2-components setup-3-installing setup-4-finish uninstall-1-ready uninstall-2-finished; do
        png=$shots/$page.png
        # Each window is about 480 x 350 pixels: stored without compression it would be 500 KB.
        if [ "$(identify -format %m "$png" 2>/dev/null)" != PNG ]; then
          problem "$page.png is missing or no PNG"
        elif [ "$(stat -c %s "$png")" -gt 100000 ]; then
          problem "$page.png is not compressed ($(stat -c %s "$png") bytes)"
        fi
      done
      ;;
    "refused destination")
      expect "'Quillon presents \.\.\.'"
      expect "^demo:     Can't create the destination folder\.$"
      expect 'the programs of the walk are ended'
      [ "$(identify -format %m "$shots/stuck.png" 2>/dev/null)" = PNG ] || problem "no screenshot stuck.png"
      ;;
  esac
done
exit $fail
