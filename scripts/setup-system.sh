#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's archive: the i686
# and x86_64 mingw-w64 cross compilers, 64-bit Wine (and 32-bit Wine where
# this machine executes i386 code), Xvfb, the native toolchains, the lint
# tools and the source archive (for the curl and benchmark source packages).
# Idempotent: it does nothing when every package is already there. Needs root
# (or sudo) only when it has something to install.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  build-essential binutils cmake ninja-build make pkg-config dpkg-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 fonts-wine fonts-liberation xvfb xauth x11-utils xdotool imagemagick
  clang lld libclang-rt-14-dev clang-format clang-tidy shellcheck git
  googletest libbenchmark-dev rapidjson-dev nlohmann-json3-dev libsimdjson-dev
  openssl python3 ca-certificates xz-utils procps
)
# 32-bit Wine only where it can start: the probe needs the assembler and
# linker of binutils, which every machine of ours has before set-up.
with_i386=0
if "$here/i386-probe.sh"; then
  with_i386=1
  packages+=(wine32)
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

need_update=0

if [ $with_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: enabling the i386 architecture"
  as_root dpkg --add-architecture i386
  need_update=1
fi

# The curl source package comes from the same archive as the binaries.
src_list=/etc/apt/sources.list.d/tesseltest-sources.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  echo "setup: adding Debian's source archive"
  as_root tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ $need_update -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
echo "setup: installing ${missing[*]:-nothing}"
as_root apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
