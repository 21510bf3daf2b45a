#!/usr/bin/env bash
# Tells whether this machine executes i386 user code: assembles and links a
# three-instruction i386 program that exits with status 42 and runs it. Some
# kernels refuse every i386 program ("Exec format error"), and then 32-bit
# Wine cannot start either. Exits 0 when i386 code runs, 1 when it does not.
# With --say it also prints one line with the answer.
#
# TESSEL_ASSUME_NO_I386=1 answers "no" without asking the machine, to try
# on a machine with i386 support what a 64-bit-only machine builds and runs.
set -uo pipefail
if [ -n "${TESSEL_ASSUME_NO_I386:-}" ]; then
  [ "${1:-}" = "--say" ] &&
    echo "i386: taken as not executing i386 code (TESSEL_ASSUME_NO_I386 is set); the x86 console is built and checked statically only"
  exit 1
fi
# Inside the checkout, where programs may run, rather than in a /tmp that
# may be mounted noexec.
cache="$(cd "$(dirname "$0")/.." && pwd)/.cache"
mkdir -p "$cache"
work=$(mktemp -d "$cache/i386-probe.XXXXXX")
trap 'rm -rf "$work"' EXIT
cat >"$work/exit.s" <<'ASM'
.globl _start
_start:
  movl $1, %eax
  movl $42, %ebx
  int $0x80
ASM
runs=1
if as --32 -o "$work/exit.o" "$work/exit.s" 2>/dev/null &&
   ld -m elf_i386 -o "$work/exit" "$work/exit.o" 2>/dev/null &&
   { "$work/exit" 2>/dev/null; [ $? -eq 42 ]; }; then
  runs=0
fi
if [ "${1:-}" = "--say" ]; then
  if [ $runs -eq 0 ]; then
    echo "i386: this machine executes i386 code; the x86 console's tests run under 32-bit Wine"
  else
    echo "i386: this machine does not execute i386 code (the kernel refuses i386 programs); the x86 console is built and checked statically only"
  fi
fi
exit $runs
