#!/usr/bin/env bash
# Starts the console from its run folder, where the substitute Tessel.dll
# sits beside it. With a display the console runs there until it is closed.
# Without one it runs on a virtual display for a short guided tour (the About
# box, "ShowAboutBox", "ShowSettingsDialog"); the tour saves pictures and the
# output pane's text under the build folder, prints their paths and closes
# the console.
#
# TESSEL_RUN_BUILD names another build folder of the windows configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESSEL_RUN_BUILD:-build/windows}
run="$build/run"
if [ ! -f "$run/TesselTest.exe" ] || [ ! -f "$run/Tessel.dll" ]; then
  echo "run: $run holds no console with its substitute library; build the windows configuration first" >&2
  exit 1
fi
source scripts/wine-env.sh
scripts/wine-prefix.sh

if [ -n "${DISPLAY:-}" ]; then
  # A wineserver left from a run without this display would refuse windows.
  wineserver -k >/dev/null 2>&1 || true
  echo "run: starting $run/TesselTest.exe with the substitute Tessel.dll"
  cd "$run"
  exec wine TesselTest.exe
fi

echo "run: no display; the console runs on a virtual display for a short tour"
exec scripts/wine-session.sh scripts/console-tour.sh "$build"
