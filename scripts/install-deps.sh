#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing; does
# nothing when everything is there. The 32-bit half of Wine (wine32:i386, for the
# i686 programs that ship) is installed only where the kernel runs 32-bit programs.
# A mirror caught in a sync serves some indexes short or a suite ahead of the other
# architecture's: the set-up goes on with the indexes it has and, when the install
# does not resolve, takes every package from the release's own suite.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
packages=(cmake make g++ python3 googletest libgtest-dev clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
          libz-mingw-w64-dev wine wine64 fonts-wine xvfb xauth imagemagick
          osslsigncode openssl)
add_i386=0
if why=$("$here/runs-32bit.sh"); then
  packages+=(wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || add_i386=1
else
  echo "install-deps: not installing the 32-bit half of Wine: $why" >&2
fi
not_installed() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t missing < <(not_installed "${packages[@]}")
[ ${#missing[@]} -eq 0 ] && exit 0
echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO=sudo; else
    echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
    echo "install-deps: run this command as root, or install them with apt-get first." >&2
    exit 1
  fi
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
apt_log=$(mktemp)
trap 'rm -f "$apt_log"' EXIT
if [ "$add_i386" = 1 ]; then $SUDO dpkg --add-architecture i386; fi
if ! $SUDO apt-get update -qq >"$apt_log" 2>&1; then
  failed=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$apt_log" | paste -sd' ')
  echo "install-deps: apt-get update could not download ${failed:-every index} (mirror out of step?); going on with the indexes there are" >&2
fi
install() {
  $SUDO apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >"$apt_log" 2>&1
}
if install; then exit 0; fi
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ -n "$codename" ]; then
  echo "install-deps: the packages do not resolve across the mirror's suites; trying once more with every package from $codename" >&2
  if install -t "$codename"; then exit 0; fi
fi
grep -E '^(E: | +[^ ].*Depends:)' "$apt_log" >&2 || tail -n 5 "$apt_log" >&2
mapfile -t still < <(not_installed "${missing[@]}")
echo "install-deps: could not install ${still[*]}" >&2
echo "install-deps: the package mirror may be in the middle of a sync: run this again later, or install them with apt-get${codename:+ -t $codename} as root." >&2
exit 1
