#!/usr/bin/env bash
# Builds Google Benchmark for Windows from Debian's benchmark source package,
# for the architecture given (i686 or x86_64): a static library for the
# Windows benchmarks that run under Wine. Installs into
# .cache/benchmark-ARCH inside the checkout and does nothing
# when that install is already complete. Debian's package takes the version
# from git, which a source package lacks: GIT_VERSION=0.0.0 makes it use the
# project's own.
set -euo pipefail
# shellcheck source=mingw-source-build.sh
source "$(dirname "$0")/mingw-source-build.sh"

mingw_architecture "${1:-}"
arch=$1

top=$(cd "$(dirname "$0")/.." && pwd)
cache="$top/.cache"
prefix="$cache/benchmark-$arch"

if [ -f "$prefix/lib/libbenchmark.a" ] && [ -f "$prefix/include/benchmark/benchmark.h" ]; then
  exit 0
fi

work="$cache/benchmark-src-$arch"
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"

echo "benchmark: fetching Debian's benchmark source package"
src=$(fetch_debian_source benchmark "benchmark-*")

echo "benchmark: building static Google Benchmark for $arch"
mingw_cmake_install "$src" "$prefix" \
  -DBENCHMARK_ENABLE_TESTING=OFF \
  -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
  -DBENCHMARK_ENABLE_WERROR=OFF \
  -DBENCHMARK_ENABLE_LTO=OFF \
  -DBENCHMARK_ENABLE_INSTALL=ON \
  -DGIT_VERSION=0.0.0
rm -rf "$work"
echo "benchmark: installed in $prefix"
