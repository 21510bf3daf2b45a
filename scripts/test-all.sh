#!/usr/bin/env bash
# Builds every configuration and runs every test suite: the portable core
# natively under ASan/UBSan, the Windows program's tests under Wine, the fuzz
# targets briefly; the benchmarks are built (not run). Every suite runs even
# when an earlier one fails; the exit status is non-zero if any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=${TESSEL_JOBS:-$(nproc)}
failed=()

step() {
  local name=$1
  shift
  echo "== $name"
  if ! "$@"; then
    failed+=("$name")
    return 1
  fi
}

configure_and_build() {
  cmake --preset "$1" >"build/$1.configure.log" 2>&1 || { cat "build/$1.configure.log"; return 1; }
  cmake --build --preset "$1" -j "$jobs"
}

mkdir -p build
step "native: build" configure_and_build native &&
  step "native: tests (ASan, UBSan)" ctest --preset native -j "$jobs"
step "windows: build" configure_and_build windows &&
  step "windows: tests (Wine)" scripts/wine-session.sh ctest --preset windows -j "$jobs"
step "fuzz: build" configure_and_build fuzz &&
  step "fuzz: short runs" ctest --preset fuzz -j "$jobs"
step "bench: build" configure_and_build bench

if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "All configurations built and every test passed."
