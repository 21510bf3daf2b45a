#!/usr/bin/env bash
# Starts the console from its run folder, where the substitute Tessel.dll
# sits beside it: the x86 console where this machine executes i386 code,
# the x64 console where it does not. With a display the console runs there
# until it is closed. Without one it runs on a virtual display for a short
# guided tour (the About box, "ShowAboutBox", "ShowSettingsDialog"); the tour
# saves pictures and the output pane's text under the build folder, prints
# their paths and closes the console.
#
# TESSEL_RUN_PRESET names the configuration to run (windows or windows64).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${TESSEL_RUN_PRESET:-$(scripts/console-preset.sh)}
case "$preset" in
  windows) TESSEL_WINE_ARCH=win32 console=x86 ;;
  windows64) TESSEL_WINE_ARCH=win64 console=x64 ;;
  *) echo "run: no console configuration '$preset'; use windows or windows64" >&2; exit 1 ;;
esac
build="build/$preset"
run="$build/run"
if [ ! -f "$run/TesselTest.exe" ] || [ ! -f "$run/Tessel.dll" ]; then
  echo "run: $run holds no console with its substitute library; build the $preset configuration first" >&2
  exit 1
fi
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
scripts/wine-prefix.sh "$TESSEL_WINE_ARCH"

if [ -n "${DISPLAY:-}" ]; then
  # A wineserver left from a run without this display would refuse windows.
  wineserver -k >/dev/null 2>&1 || true
  echo "run: starting the $console console $run/TesselTest.exe with the substitute Tessel.dll"
  cd "$run"
  exec "$tessel_wine" TesselTest.exe
fi

echo "run: no display; the $console console runs on a virtual display for a short tour"
exec scripts/wine-session.sh "$TESSEL_WINE_ARCH" scripts/console-tour.sh "$TESSEL_WINE_ARCH" "$build"
