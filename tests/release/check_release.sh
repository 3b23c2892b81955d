#!/usr/bin/env bash
# The release, made by scripts/release.sh in a copy of the checkout in another folder, in
# another time zone and locale: unsigned, the very bytes of this build's programs; signed
# with a throwaway certificate, both programs verify, payload 7 of setup.exe is the
# signed qlnclear.exe, and the README's check (signatures removed, setup.exe rebuilt
# around the published qlnclear.exe) gives the same bytes.
#   check_release.sh SOURCE_DIR SETUP_EXE QLNCLEAR_EXE
set -euo pipefail
src=$1 setup=$2 qlnclear=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/copy"
tar -C "$src" --exclude=./build --exclude='./build-*' --exclude=./dist --exclude=./.git -cf - . | tar -C "$work/copy" -xf -
cd "$work/copy"
fail=0
release() { TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 scripts/release.sh "$@" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }; }

release
grep -q "stay unsigned" "$work/log" || { echo "no line says the release is unsigned"; fail=1; }
cmp dist/setup.exe "$setup" || fail=1
cmp dist/qlnclear.exe "$qlnclear" || fail=1
(cd dist && sha256sum --quiet -c SHA256SUMS) || fail=1

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 1 \
  -subj "/CN=Tarvel Lib test" -addext extendedKeyUsage=codeSigning 2>/dev/null
echo throwaway >"$work/pass"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" -passout file:"$work/pass"
release --pkcs12 "$work/cert.p12" --password-file "$work/pass"
for f in setup.exe qlnclear.exe; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "dist/$f" >"$work/verify" 2>&1 || { echo "$f:"; cat "$work/verify"; fail=1; }
done
# Payload 7: type 10 (RCDATA), name 7, the first language, read from the resource tree.
python3 - dist/setup.exe >"$work/payload7" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
pe = struct.unpack_from('<I', d, 0x3C)[0]
sections, optional = struct.unpack_from('<H12xH', d, pe + 6)
rsrc = struct.unpack_from('<I', d, pe + 24 + 96 + 2 * 8)[0]
table = [struct.unpack_from('<8xIIII', d, pe + 24 + optional + 40 * i) for i in range(sections)]
at = lambda rva: next(rva - va + raw for size, va, rawsize, raw in table if va <= rva < va + max(size, rawsize))
base = at(rsrc)
def entry(directory, name):
    named, ids = struct.unpack_from('<12xHH', d, directory)
    for k in range(named + ids):
        n, offset = struct.unpack_from('<II', d, directory + 16 + 8 * k)
        if name is None or n == name: return base + (offset & 0x7FFFFFFF)
leaf = entry(entry(entry(base, 10), 7), None)
rva, size = struct.unpack_from('<II', d, leaf)
sys.stdout.buffer.write(d[at(rva):at(rva) + size])
PY
cmp "$work/payload7" dist/qlnclear.exe || { echo "payload 7 is not the signed qlnclear.exe"; fail=1; }

# The README's check of a signed release, command by command, in this checkout with the
# published files in its top folder.
cp dist/setup.exe dist/qlnclear.exe .
osslsigncode remove-signature -in qlnclear.exe -out qlnclear.unsigned.exe >/dev/null
osslsigncode remove-signature -in setup.exe -out setup.unsigned.exe >/dev/null
cmake --preset win32 -B build/check -DTARVEL_UNINSTALLER="$PWD/qlnclear.exe" >/dev/null
cmake --build build/check -j2 --target setup >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
cmp qlnclear.unsigned.exe "$qlnclear" || { echo "qlnclear.exe without its signature is not the build's"; fail=1; }
cmp build/check/setup/setup.exe setup.unsigned.exe || { echo "setup.exe around the signed uninstaller differs"; fail=1; }
[ $fail = 0 ] && echo "release reproduced in another folder; signed, both verify, payload 7 is the signed uninstaller" \
  "and the README's check of the signatures holds"
exit $fail
