#!/usr/bin/env bash
# wine-run.sh win32|win64 PROGRAM [ARGUMENT ...]: runs one Windows program
# under the project's Wine prefix of that architecture. This is the cross
# build's test emulator; scripts/wine-session.sh provides the display and the
# persistent wineserver around a whole test run.
set -euo pipefail
TESSEL_WINE_ARCH=${1:-}
shift
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
[ -f "$WINEPREFIX/.tesseltest-ready" ] || "$(dirname "$0")/wine-prefix.sh" "$TESSEL_WINE_ARCH"
exec "$tessel_wine" "$@"
