#!/usr/bin/env bash
# Checks one Windows executable: PE32 or PE32+, GUI subsystem, static imports only from
# Windows' KnownDLLs (never searched for beside the program) and no MinGW runtime DLL,
# built for ASLR and DEP (DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA for PE32+) with its
# relocation directory; with WINDRES, its manifest (elevation,
# the supported Windows versions, no common-controls 6, per-monitor DPI awareness) and its
# version resource; with MAX_BYTES, its size. Prints its size.
#   check_executable.sh OBJDUMP FILE PE32|PE32+ [WINDRES ORIGINAL_NAME DESCRIPTION [MAX_BYTES]]
set -u
objdump=$1 file=$2 expected=$3 windres=${4:-} original=${5:-} description=${6:-} max_bytes=${7:-}
headers=$("$objdump" -p "$file") || { echo "cannot read $file"; exit 1; }
fail=0
magic=$(awk '/^Magic/ {print $2; exit}' <<<"$headers")
case "$magic" in 010b) kind=PE32 ;; 020b) kind=PE32+ ;; *) kind="unknown ($magic)" ;; esac
subsystem=$(awk '/^Subsystem/ {print $2; exit}' <<<"$headers")
size=$(stat -c %s "$file")
echo "$(basename "$file"): $kind, subsystem $subsystem, $size bytes"
[ "$kind" = "$expected" ] || { echo "  expected $expected"; fail=1; }
[ "$subsystem" = 00000002 ] || { echo "  expected the GUI subsystem (2)"; fail=1; }
allowed='^(kernel32|user32|gdi32|shell32|ole32|advapi32|msvcrt)\.dll$'
while read -r dll; do
  lower=$(tr 'A-Z' 'a-z' <<<"$dll")
  echo "  imports $dll"
  if ! grep -Eq "$allowed" <<<"$lower"; then echo "  not one of Windows' KnownDLLs: $dll"; fail=1; fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")
flags=(DYNAMIC_BASE NX_COMPAT)
[ "$kind" = PE32+ ] && flags+=(HIGH_ENTROPY_VA)
for flag in "${flags[@]}"; do
  grep -Eq "^[[:space:]]+$flag\$" <<<"$headers" || { echo "  DllCharacteristics lacks $flag"; fail=1; }
done
relocations=$(awk '/Base Relocation Directory/ {print $3; exit}' <<<"$headers")
[ -n "$relocations" ] && [ "$((16#$relocations))" -gt 0 ] || { echo "  no relocation directory"; fail=1; }
if [ -n "$max_bytes" ] && [ "$size" -gt "$max_bytes" ]; then echo "  larger than $max_bytes bytes"; fail=1; fi

if [ -n "$windres" ]; then
  resources=$("$windres" -i "$file" -O rc 2>&1) || { echo "  cannot read the resources: $resources"; exit 1; }
  has() { grep -Fq -- "$1" <<<"$resources" || { echo "  $2"; fail=1; }; }
  has "1 24 /* RT_MANIFEST */" "no manifest (resource 1 of type 24)"
  # windres shows the manifest's bytes as numbers, but the file holds it as plain text.
  manifest=$(LC_ALL=C grep -ao "<?xml[^>]*?><assembly .*</assembly>" "$file")
  in_manifest() { grep -Fq -- "$1" <<<"$manifest" || { echo "  $2"; fail=1; }; }
  not_in_manifest() { ! grep -Fqi -- "$1" <<<"$manifest" || { echo "  $2"; fail=1; }; }
  in_manifest "<requestedExecutionLevel level='requireAdministrator' uiAccess='false'/>" \
              "the manifest does not require elevation"
  for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
            4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
            8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    in_manifest "<supportedOS Id='{$os}'/>" "the manifest lacks supportedOS $os"
  done
  not_in_manifest "Common-Controls" "the manifest asks for common controls 6"
  in_manifest "<dpiAware xmlns='http://schemas.microsoft.com/SMI/2005/WindowsSettings'>true</dpiAware>" \
              "the manifest does not declare DPI awareness for older Windows"
  in_manifest "<dpiAwareness xmlns='http://schemas.microsoft.com/SMI/2016/WindowsSettings'>PerMonitorV2, PerMonitor</dpiAwareness>" \
              "the manifest does not declare per-monitor DPI awareness"
  has "1 VERSIONINFO" "no version resource"
  has " FILEVERSION 6, 49, 0, 0" "file version is not 6.49.0.0"
  has " PRODUCTVERSION 6, 49, 0, 0" "product version is not 6.49.0.0"
  for value in '"CompanyName", "Quillon"' '"ProductName", "Tarvel Lib"' '"FileVersion", "6.49.0.0"' \
               '"ProductVersion", "6.49.0.0"' "\"OriginalFilename\", \"$original\"" \
               "\"FileDescription\", \"$description\"" '"LegalCopyright", "Copyright (C) Quillon'; do
    has "VALUE $value" "the version resource lacks $value"
  done
  [ $fail = 0 ] && echo "  manifest and version resource as expected"
fi
exit $fail
