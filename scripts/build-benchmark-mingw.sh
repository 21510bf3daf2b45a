#!/usr/bin/env bash
# Builds Google Benchmark for i686 Windows from Debian's benchmark source
# package: a static library for the Windows benchmarks that run under Wine.
# Installs into .cache/benchmark-i686 inside the checkout and does nothing
# when that install is already complete. Debian's package takes the version
# from git, which a source package lacks: GIT_VERSION=0.0.0 makes it use the
# project's own.
set -euo pipefail
source "$(dirname "$0")/mingw-source-build.sh"

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
src=$(fetch_debian_source benchmark "benchmark-*")

echo "benchmark: building static Google Benchmark for i686"
mingw_cmake_install "$src" "$prefix" \
  -DBENCHMARK_ENABLE_TESTING=OFF \
  -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
  -DBENCHMARK_ENABLE_WERROR=OFF \
  -DBENCHMARK_ENABLE_LTO=OFF \
  -DBENCHMARK_ENABLE_INSTALL=ON \
  -DGIT_VERSION=0.0.0
rm -rf "$work"
echo "benchmark: installed in $prefix"
