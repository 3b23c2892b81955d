#!/usr/bin/env bash
# Runs the unattended demo in its own sandbox and checks its report and screenshots.
#   check_demo.sh BUILD_ROOT
set -u -o pipefail
cd "$(dirname "$0")/../.."
export TARVEL_BUILD_ROOT=$1
unset DISPLAY
out=$(scripts/demo.sh --unattended 2>&1 | tr -d '\r')
status=$?

echo "$out"
fail=0
expect() { grep -Eq "$1" <<<"$out" || { echo "check_demo: the report lacks: $1"; fail=1; }; }
[ $status -eq 0 ] || { echo "check_demo: demo.sh exited with $status"; fail=1; }
expect '^\[5/5\] done'
expect 'components installed +5 \( Files for Borland Delphi 7, Files for Borland C\+\+Builder 6, Shared Files, Demo Projects Files, Context Help Files\)'
expect 'build commands run +6$'
expect 'registry values +8$'
# Only the C++Builder 6 CLX build's incremental-link files, which no step records, stay.
expect 'left after uninstall +2 of what the log named'
expect 'CBuilder6  \(still holds: tarvelb6clx.ilc, tarvelb6clx.ild, tarvelb6clx.ilf, tarvelb6clx.ils\)'
for page in setup-1-welcome setup-2-components setup-3-installing setup-4-finish uninstall-1-ready uninstall-2-finished; do
  [ -s "$TARVEL_BUILD_ROOT/demo/screenshots/$page.png" ] || { echo "check_demo: no screenshot $page.png"; fail=1; }
done
exit $fail
