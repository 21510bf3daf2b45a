#!/usr/bin/env bash
# Builds libcurl 7.88.1 for Windows from Debian's curl source package
# (Debian's patches applied): a static library with Schannel TLS and no
# third-party dependencies, for the architecture given (i686 or x86_64).
# Installs into .cache/curl-ARCH inside the checkout and does nothing when
# that install is already complete.
set -euo pipefail
# shellcheck source=mingw-source-build.sh
source "$(dirname "$0")/mingw-source-build.sh"

mingw_architecture "${1:-}"
arch=$1

top=$(cd "$(dirname "$0")/.." && pwd)
cache="$top/.cache"
prefix="$cache/curl-$arch"
want_version=7.88.1

if [ -f "$prefix/lib/libcurl.a" ] && [ -f "$prefix/include/curl/curl.h" ] &&
   grep -q "LIBCURL_VERSION \"$want_version" "$prefix/include/curl/curlver.h"; then
  exit 0
fi

work="$cache/curl-src-$arch"
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"

echo "curl: fetching Debian's curl $want_version source package"
src=$(fetch_debian_source curl "curl-$want_version*")
grep -q "LIBCURL_VERSION \"$want_version" "$src/include/curl/curlver.h"

echo "curl: building static libcurl for $arch with Schannel"
mingw_cmake_install "$src" "$prefix" \
  -DBUILD_CURL_EXE=OFF \
  -DBUILD_TESTING=OFF \
  -DCURL_USE_SCHANNEL=ON \
  -DCURL_USE_OPENSSL=OFF \
  -DCURL_USE_MBEDTLS=OFF \
  -DCURL_USE_WOLFSSL=OFF \
  -DCURL_USE_LIBSSH2=OFF \
  -DCURL_USE_LIBSSH=OFF \
  -DCURL_USE_GSSAPI=OFF \
  -DCURL_DISABLE_LDAP=ON \
  -DCURL_DISABLE_LDAPS=ON \
  -DCURL_ZLIB=OFF \
  -DCURL_BROTLI=OFF \
  -DCURL_ZSTD=OFF \
  -DUSE_NGHTTP2=OFF \
  -DUSE_LIBIDN2=OFF \
  -DUSE_WIN32_IDN=OFF \
  -DENABLE_MANUAL=OFF
grep -q "LIBCURL_VERSION \"$want_version" "$prefix/include/curl/curlver.h"
rm -rf "$work"
echo "curl: installed in $prefix"
