#!/usr/bin/env bash
# wine-prefix.sh win32|win64: creates the project's Wine prefix of that
# architecture once: Wine's own fonts copied in, unmanaged and undecorated
# windows (no window manager runs under Xvfb, and managed windows cost
# seconds on every close), no crash dialog.
set -euo pipefail
TESSEL_WINE_ARCH=${1:-}
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"

ready="$WINEPREFIX/.tesseltest-ready"
[ -f "$ready" ] && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$ready" ] && exit 0

echo "wine: creating the prefix in $WINEPREFIX"
rm -rf "$WINEPREFIX"
# Without a display Wine creates the prefix just the same. A 64-bit prefix
# warns that its 32-bit rundll32 cannot start where 32-bit Wine is missing,
# which is harmless.
env -u DISPLAY "$tessel_wine" wineboot -i </dev/null >/dev/null 2>&1
wineserver -w

fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts"/ 2>/dev/null || true

settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
env -u DISPLAY "$tessel_wine" regedit /S "$settings" </dev/null >/dev/null 2>&1
wineserver -w
touch "$ready"
