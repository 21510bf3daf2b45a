#!/usr/bin/env bash
# Starts the console under the project's Wine prefix: on the caller's display
# when there is one, otherwise on a virtual display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=build/windows/app/TesselTest.exe
if [ ! -f "$exe" ]; then
  echo "Everything is built (configurations windows and native); the console itself,"
  echo "$exe, is not part of the project yet, so there is nothing to start."
  exit 0
fi
source scripts/wine-env.sh
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: the console runs on a virtual display until it is closed."
  exec scripts/wine-session.sh scripts/wine-run.sh "$exe"
fi
# A wineserver left from a run without this display would refuse windows.
wineserver -k >/dev/null 2>&1 || true
exec scripts/wine-run.sh "$exe"
