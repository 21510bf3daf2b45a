# shellcheck shell=bash
# Sourced by the Wine scripts after they have set TESSEL_WINE_ARCH to win32
# or win64: the project's own prefix for that architecture, the loader that
# runs its programs, and the quiet settings every Wine process of the
# project runs with. Defines tessel_wine, the loader to call instead of
# /usr/bin/wine, which prefers the 32-bit loader whenever one is installed,
# and tessel_mingw, the prefix of the mingw-w64 tools for that architecture.
tessel_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# tessel_mingw is read by the scripts that source this file.
# shellcheck disable=SC2034
case "${TESSEL_WINE_ARCH:-}" in
  win32)
    tessel_wine=/usr/lib/wine/wine
    tessel_mingw=i686-w64-mingw32
    tessel_default_prefix="$tessel_top/.cache/wine"
    ;;
  win64)
    tessel_wine=/usr/lib/wine/wine64
    tessel_mingw=x86_64-w64-mingw32
    tessel_default_prefix="$tessel_top/.cache/wine64"
    ;;
  *)
    echo "wine: the architecture must be win32 or win64, not '${TESSEL_WINE_ARCH:-}'" >&2
    return 1
    ;;
esac
export TESSEL_WINE_ARCH
export WINEARCH=$TESSEL_WINE_ARCH
export WINEPREFIX="${TESSEL_WINEPREFIX:-$tessel_default_prefix}"
# Wine's own tools start further programs through this loader.
export WINELOADER=$tessel_wine
export WINEDEBUG="${WINEDEBUG:--all}"
# No offers to install Mono or Gecko.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Predictable dates, numbers and times in the programs' output.
export TZ="${TZ:-UTC}"
