#!/usr/bin/env bash
# Builds Google Benchmark for i686 Windows from Debian's benchmark source
# package: a static library for the Windows benchmarks that run under Wine.
# Installs into .cache/benchmark-i686 inside the checkout and does nothing
# when that install is already complete. Debian's package takes the version
# from git, which a source package lacks: GIT_VERSION=0.0.0 makes it use the
# project's own.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cache="$top/.cache"
prefix="$cache/benchmark-i686"

if [ -f "$prefix/lib/libbenchmark.a" ] && [ -f "$prefix/include/benchmark/benchmark.h" ]; then
  exit 0
fi

work="$cache/benchmark-src"
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"

echo "benchmark: fetching Debian's benchmark source package"
apt-get source -q benchmark >fetch.log 2>&1 || { cat fetch.log; exit 1; }
src=$(find . -maxdepth 1 -type d -name "benchmark-*" | head -n 1)
[ -n "$src" ] || { echo "benchmark: source tree not found" >&2; exit 1; }

echo "benchmark: building static Google Benchmark for i686"
cmake -S "$src" -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF \
  -DBENCHMARK_ENABLE_TESTING=OFF \
  -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
  -DBENCHMARK_ENABLE_WERROR=OFF \
  -DBENCHMARK_ENABLE_LTO=OFF \
  -DBENCHMARK_ENABLE_INSTALL=ON \
  -DGIT_VERSION=0.0.0 \
  -DCMAKE_CROSSCOMPILING_EMULATOR= >configure.log 2>&1 || { tail -n 40 configure.log; exit 1; }
cmake --build build -j 2 >build.log 2>&1 || { tail -n 40 build.log; exit 1; }
cmake --install build >install.log 2>&1 || { tail -n 40 install.log; exit 1; }
rm -rf "$work"
echo "benchmark: installed in $prefix"
