#!/usr/bin/env bash
# Builds the i686 release from this checkout into dist/: setup.exe, qlnclear.exe (the
# very bytes setup.exe carries as payload 7) and SHA256SUMS. With a certificate the
# uninstaller is signed first, setup.exe is built around the signed copy, then signed.
# dist/winget/ holds the package manager's manifest for that setup.exe (--url: where it
# is published).
#   scripts/release.sh [--pkcs12 FILE --password-file FILE] [--timestamp URL] [--url URL]
# The build is reproducible: the same commit gives the same unsigned bytes in any folder.
set -euo pipefail
usage() {
  echo "usage: $0 [--pkcs12 FILE --password-file FILE] [--timestamp URL] [--url URL]" >&2
  exit 2
}
pkcs12= password= timestamp= url=
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --pkcs12) pkcs12=$(realpath "$2") ;;
    --password-file) password=$(realpath "$2") ;;
    --timestamp) timestamp=$2 ;;
    --url) url=$2 ;;
    *) usage ;;
  esac
  shift 2
done
if [ -n "$pkcs12" ] && [ -z "$password" ] || [ -z "$pkcs12" ] && [ -n "$password" ]; then
  echo "release: --pkcs12 and --password-file go together" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/release dist=dist
configure() {
  cmake --preset win32 -B "$build" -DTARVEL_WINE_TESTS=OFF -DTARVEL_UNINSTALLER="$1" >/dev/null
}
sign() {
  local args=(sign -h sha256 -pkcs12 "$pkcs12" -readpass "$password" -n "Tarvel Lib" -in "$1" -out "$2")
  [ -z "$timestamp" ] || args+=(-ts "$timestamp")
  rm -f "$2"
  osslsigncode "${args[@]}" >/dev/null
}

rm -rf "$dist"
mkdir -p "$dist"
configure ""
cmake --build "$build" -j2 --target qlnclear
if [ -n "$pkcs12" ]; then
  sign "$build/uninstaller/qlnclear.exe" "$dist/qlnclear.exe"
  configure "$PWD/$dist/qlnclear.exe"
  cmake --build "$build" -j2 --target setup
  sign "$build/setup/setup.exe" "$dist/setup.exe"
  configure ""  # the next build of this folder makes its own uninstaller again
else
  echo "release: no certificate given (--pkcs12): setup.exe and qlnclear.exe stay unsigned"
  cp "$build/uninstaller/qlnclear.exe" "$dist/qlnclear.exe"
  cmake --build "$build" -j2 --target setup
  cp "$build/setup/setup.exe" "$dist/setup.exe"
fi
(cd "$dist" && sha256sum setup.exe qlnclear.exe >SHA256SUMS)

# The package manager's manifest for the setup.exe just built, from --url or the
# documented placeholder address.
TARVEL_TOOL_DIR=$build/host-tools scripts/winget-manifest.sh "$dist/setup.exe" "$dist/winget" ${url:+--url "$url"} >/dev/null

echo "release: $(cd "$dist" && ls | paste -sd' ') in $dist/"
