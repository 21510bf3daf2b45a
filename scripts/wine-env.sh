# Sourced by the Wine scripts: the project's own 32-bit prefix and the quiet
# settings every Wine process of the project runs with.
tessel_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${TESSEL_WINEPREFIX:-$tessel_top/.cache/wine}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No offers to install Mono or Gecko.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Predictable dates, numbers and times in the programs' output.
export TZ="${TZ:-UTC}"
