#!/usr/bin/env bash
# Exits 0 when this machine's kernel runs a 32-bit x86 Linux program, which the i686
# programs need under Wine; otherwise prints why not (one line) and exits 1.
# The probe is a 96-byte static ELF32 program that only calls exit(42).
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/runs-32bit.XXXXXX")
trap 'rm -f "$probe"' EXIT
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
printf '\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000' >>"$probe"
printf '\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >>"$probe"
chmod +x "$probe"
case "$(uname -m)" in
  x86_64|i?86) ;;
  *) echo "this machine is $(uname -m), not x86"; exit 1 ;;
esac
"$probe" 2>/dev/null
status=$?
if [ "$status" -eq 42 ]; then exit 0; fi
echo "the kernel does not run 32-bit programs (no IA32 emulation)"
exit 1
