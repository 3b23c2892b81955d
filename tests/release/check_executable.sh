#!/usr/bin/env bash
# Checks one Windows executable: PE32 or PE32+, GUI subsystem, imports only from
# Windows' own DLLs and no MinGW runtime DLL. Prints its size.
#   check_executable.sh OBJDUMP FILE PE32|PE32+
set -u
objdump=$1 file=$2 expected=$3
headers=$("$objdump" -p "$file") || { echo "cannot read $file"; exit 1; }
fail=0
magic=$(awk '/^Magic/ {print $2; exit}' <<<"$headers")
case "$magic" in 010b) kind=PE32 ;; 020b) kind=PE32+ ;; *) kind="unknown ($magic)" ;; esac
subsystem=$(awk '/^Subsystem/ {print $2; exit}' <<<"$headers")
echo "$(basename "$file"): $kind, subsystem $subsystem, $(stat -c %s "$file") bytes"
[ "$kind" = "$expected" ] || { echo "  expected $expected"; fail=1; }
[ "$subsystem" = 00000002 ] || { echo "  expected the GUI subsystem (2)"; fail=1; }
allowed='^(kernel32|user32|gdi32|comctl32|shell32|ole32|advapi32|msvcrt)\.dll$'
while read -r dll; do
  lower=$(tr 'A-Z' 'a-z' <<<"$dll")
  echo "  imports $dll"
  if ! grep -Eq "$allowed" <<<"$lower"; then echo "  not a Windows DLL: $dll"; fail=1; fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")
exit $fail
