#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix. This is the
# cross build's test emulator; scripts/wine-session.sh provides the display
# and the persistent wineserver around a whole test run.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
[ -f "$WINEPREFIX/.tesseltest-ready" ] || "$(dirname "$0")/wine-prefix.sh"
exec wine "$@"
