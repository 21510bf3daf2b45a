#!/usr/bin/env bash
# wine-session.sh win32|win64 COMMAND [ARGUMENT ...]: runs a command
# (usually ctest) with a private virtual X display, a persistent wineserver
# for the project's prefix of that architecture and a program that holds
# Wine's desktop open, and stops them all when the command ends, however it
# ends. Exits with the command's status.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
TESSEL_WINE_ARCH=${1:-}
shift
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" || exit 1
"$here/wine-prefix.sh" "$TESSEL_WINE_ARCH" || exit 1

xvfb_pid=""
display_file=$(mktemp)

stop_session() {
  # Killing the server ends every Wine process of the prefix with it.
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -f "$display_file"
}
trap stop_session EXIT
trap 'exit 130' INT TERM

# Xvfb writes the display number it chose into fd 3 once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" \
  </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$display_file" ] || { echo "wine-session: Xvfb gave no display" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$display_file")"
export DISPLAY

# A server left from earlier would lack this display: start a fresh one,
# persistent, and start Wine's helper processes now with no inherited pipes,
# so that no test waits on a helper holding its output open.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
wineserver -p
"$tessel_wine" cmd /c exit </dev/null >/dev/null 2>&1

# The desktop stays open for the whole session, held by a program whose
# streams are /dev/null (see wine-desktop-keeper.c); it ends with the server.
keeper="$WINEPREFIX/tessel-desktop-keeper.exe"
if [ ! -f "$keeper" ] || [ "$here/wine-desktop-keeper.c" -nt "$keeper" ]; then
  "$tessel_mingw-gcc" -O2 -s -municode -mwindows -o "$keeper" "$here/wine-desktop-keeper.c" ||
    { echo "wine-session: the desktop keeper did not build" >&2; exit 1; }
fi
"$tessel_wine" "$keeper" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 100); do
  pgrep -f 'explorer\.exe /desktop' >/dev/null && break
  sleep 0.1
done

"$@"
