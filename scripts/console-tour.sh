#!/usr/bin/env bash
# console-tour.sh win32|win64 BUILD: the guided tour of the console, inside
# a Wine session of that architecture (scripts/wine-session.sh provides the
# display): starts the console from the run folder of the build folder
# given, drives it with the tour program, turns its pictures into PNG files
# and prints where everything is.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
TESSEL_WINE_ARCH=${1:-}
# shellcheck source=wine-env.sh
source scripts/wine-env.sh || exit 1
build=${2:?the build folder}
run="$build/run"
tour="$build/tour"
driver="$build/tests/app/console_tour.exe"
[ -f "$driver" ] || { echo "tour: $driver is missing" >&2; exit 1; }
rm -rf "$tour"
mkdir -p "$tour"
tour_abs=$(cd "$tour" && pwd)

# The console runs from its own folder, as a user would start it there.
(cd "$run" && exec "$tessel_wine" TesselTest.exe </dev/null >"$tour_abs/console.log" 2>&1) &
console=$!

status=0
"$tessel_wine" "$driver" "$("$tessel_wine" winepath -w "$tour_abs")" || status=$?

# The tour closes the console and checks that its window is gone; the Wine
# process may take several seconds more to end on a busy machine, so it gets
# 30 seconds before it counts as hung.
for _ in $(seq 1 300); do
  kill -0 "$console" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$console" 2>/dev/null; then
  echo "tour: the console did not close; stopping it" >&2
  kill "$console" 2>/dev/null
  status=1
fi
wait "$console" 2>/dev/null

for bmp in "$tour"/*.bmp; do
  [ -f "$bmp" ] || continue
  if command -v convert >/dev/null && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null; then
    rm -f "$bmp"
  fi
done

echo
echo "tour: pictures and texts in $tour_abs:"
for f in "$tour_abs"/*.png "$tour_abs"/*.bmp "$tour_abs"/*.txt; do
  [ -f "$f" ] && echo "  $f"
done
[ $status -eq 0 ] && echo "tour: done" || echo "tour: some steps failed (see above)" >&2
exit $status
