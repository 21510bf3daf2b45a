#!/usr/bin/env bash
# Writes the ZIP for Windows users from the staged parts of both Windows
# configurations (their target tessel_package): at its top the README, and
# x86/ and x64/, each with TesselTest.exe and substitute/Tessel.dll. Checks
# the architecture of every image and that every part is in the ZIP, and
# prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows64/CMakeCache.txt)
[ -n "$version" ] || { echo "package: configure the windows64 build first" >&2; exit 1; }
name="TesselTest-$version-windows"
stage="$top/build/package/$name"
zip="$top/build/$name.zip"

rm -rf "$top/build/package" "$zip"
mkdir -p "$stage"
cp README.md "$stage/README.md"
for part in windows/package/x86 windows64/package/x64; do
  [ -f "build/$part/TesselTest.exe" ] || { echo "package: build/$part is missing; build the target tessel_package" >&2; exit 1; }
  cp -r "build/$part" "$stage/"
done
scripts/check-pe-imports.sh i686 "$stage"/x86/TesselTest.exe "$stage"/x86/substitute/Tessel.dll >/dev/null
scripts/check-pe-imports.sh x86_64 "$stage"/x64/TesselTest.exe "$stage"/x64/substitute/Tessel.dll >/dev/null
(cd "$stage" && cmake -E tar cf "$zip" --format=zip README.md x86 x64)

listing=$(cmake -E tar tf "$zip")
for file in README.md x86/TesselTest.exe x86/substitute/Tessel.dll x64/TesselTest.exe x64/substitute/Tessel.dll; do
  grep -qx "$file" <<<"$listing" || { echo "package: $file is missing from $zip" >&2; exit 1; }
done
echo "package: $zip"
