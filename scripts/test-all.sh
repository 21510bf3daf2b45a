#!/usr/bin/env bash
# Builds every configuration and runs every test suite this machine can run:
# the portable core natively under ASan/UBSan, the x64 console's tests under
# 64-bit Wine, the x86 console's tests under 32-bit Wine where this machine
# executes i386 code (otherwise the x86 images are checked statically and
# the skipped suite is named at the end), the fuzz targets briefly, the
# package of both consoles; the benchmarks are built (not run). Every suite
# runs even when an earlier one fails; the exit status is non-zero if any
# failed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
jobs=${TESSEL_JOBS:-$(nproc)}
failed=()
skipped=()

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

package_both() {
  cmake --build --preset windows --target tessel_package &&
    cmake --build --preset windows64 --target tessel_package &&
    scripts/make-package.sh
}

mkdir -p build
runs_i386=0
scripts/i386-probe.sh --say && runs_i386=1

step "native: build" configure_and_build native &&
  step "native: tests (ASan, UBSan)" ctest --preset native -j "$jobs"
step "windows64: build" configure_and_build windows64 &&
  step "windows64: tests (64-bit Wine)" scripts/wine-session.sh win64 ctest --preset windows64 -j "$jobs"
if step "windows: build" configure_and_build windows; then
  if [ $runs_i386 -eq 1 ]; then
    step "windows: tests (32-bit Wine)" scripts/wine-session.sh win32 ctest --preset windows -j "$jobs"
  else
    # The checks that read the images run all the same.
    step "windows: static checks" cmake --build --preset windows --target tessel_check_images
    skipped+=("windows: tests (32-bit Wine): i386 code does not run here (see the i386 line at the start), so 32-bit Wine cannot start; the x86 console was built and checked statically only")
  fi
fi
step "package: both consoles in one ZIP" package_both
step "fuzz: build" configure_and_build fuzz &&
  step "fuzz: short runs" ctest --preset fuzz -j "$jobs"
step "bench: build" configure_and_build bench

for suite in "${skipped[@]}"; do echo "SKIPPED: $suite"; done
if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
if [ ${#skipped[@]} -gt 0 ]; then
  echo "Every configuration built and every test that ran passed; the suite above was skipped."
else
  echo "All configurations built and every test passed."
fi
