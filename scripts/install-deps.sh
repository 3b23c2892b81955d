#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing; does
# nothing when everything is there. The 32-bit half of Wine (wine32:i386, for the
# i686 programs that ship) is installed only where the kernel runs 32-bit programs.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
packages=(cmake make g++ python3 googletest libgtest-dev clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
          wine wine64 fonts-wine xvfb xauth imagemagick)
add_i386=0
if why=$("$here/runs-32bit.sh"); then
  packages+=(wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || add_i386=1
else
  echo "install-deps: not installing the 32-bit half of Wine: $why" >&2
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
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
if [ "$add_i386" = 1 ]; then $SUDO dpkg --add-architecture i386; fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
