#!/usr/bin/env bash
# The package manager's manifest for a built setup.exe:
#   scripts/winget-manifest.sh SETUP_EXE OUT_DIR [--url URL]
# writes OUT_DIR's three YAML files (version, installer, default locale). The
# installer's digest is SETUP_EXE's; without --url the download address is the
# placeholder https://example.invalid/tarvel-lib/setup.exe, which never resolves:
# pass the published address for a manifest meant to be submitted.
set -euo pipefail

usage() {
  echo "usage: $0 SETUP_EXE OUT_DIR [--url URL]" >&2
  exit 2
}

root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || usage
setup=$1
out=$2
shift 2
url=()
while [ $# -gt 0 ]; do
  case $1 in
    --url) [ $# -ge 2 ] || usage; url=("$2"); shift 2 ;;
    *) usage ;;
  esac
done
[ -f "$setup" ] || { echo "$0: no such file: $setup" >&2; exit 1; }

# The generator is a small host program built from the programs' own headers.
tool_dir=${TARVEL_TOOL_DIR:-$root/build/host-tools}
mkdir -p "$tool_dir" "$out"
c++ -std=c++20 -O1 -I"$root" "$root/tools/winget/main.cpp" "$root/tools/winget/winget_manifest.cpp" \
  -o "$tool_dir/winget_manifest"
sha=$(sha256sum "$setup" | cut -d' ' -f1)
"$tool_dir/winget_manifest" "$sha" "$out" "${url[@]}"
echo "winget manifest for $(basename "$setup") in $out"
