# shellcheck shell=bash
# Sourced by the scripts that build a Debian source package for Windows into
# the checkout's cache: the architecture argument, fetching the source and a
# logged CMake build with the project's mingw toolchain file for that
# architecture.

mingw_cmake_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/cmake"

# mingw_architecture ARCH: checks that ARCH is one the project builds for
# (i686 or x86_64) and sets mingw_toolchain_file to its toolchain file.
mingw_architecture() {
  case "${1:-}" in
    i686 | x86_64) mingw_toolchain_file="$mingw_cmake_dir/toolchain-mingw-$1.cmake" ;;
    *)
      echo "usage: $(basename "$0") i686|x86_64" >&2
      return 1
      ;;
  esac
}

# fetch_debian_source PACKAGE DIR_PATTERN: unpacks Debian's source package in
# the current folder (dpkg-source applies Debian's patch series) and prints
# the path of the source tree.
fetch_debian_source() {
  apt-get source -q "$1" >fetch.log 2>&1 || { cat fetch.log >&2; return 1; }
  local src
  src=$(find . -maxdepth 1 -type d -name "$2" | head -n 1)
  [ -n "$src" ] || { echo "$1: source tree not found" >&2; return 1; }
  echo "$src"
}

# mingw_cmake_install SOURCE PREFIX [CMAKE_OPTION ...]: configures a static
# Release build for Windows with the chosen toolchain file, builds it and
# installs it into PREFIX; on failure shows the end of the step's log.
mingw_cmake_install() {
  local src=$1 prefix=$2
  shift 2
  cmake -S "$src" -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$mingw_toolchain_file" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR= \
    "$@" >configure.log 2>&1 || { tail -n 40 configure.log >&2; return 1; }
  cmake --build build -j "$(nproc)" >build.log 2>&1 || { tail -n 40 build.log >&2; return 1; }
  cmake --install build >install.log 2>&1 || { tail -n 40 install.log >&2; return 1; }
}
