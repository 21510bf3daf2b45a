#!/usr/bin/env bash
# check-console-resources.sh i686|x86_64 TesselTest.exe: checks, without
# running it, that the console carries its resources: the console dialog
# (102) with its control layout, the About box (100), the string table, the
# icon (128), the version block, and a manifest that binds comctl32 6 for
# the image's own architecture (x86 or amd64).
set -euo pipefail
case "${1:-}" in
  i686) manifest_arch=x86 ;;
  x86_64) manifest_arch=amd64 ;;
  *) echo "usage: $(basename "$0") i686|x86_64 TesselTest.exe" >&2; exit 2 ;;
esac
windres=${WINDRES:-$1-w64-mingw32-windres}
exe=${2:?the console executable}
resources=$("$windres" -i "$exe" -O rc)
status=0
expect() {
  local what=$1 pattern=$2 count=${3:-1}
  local seen
  seen=$(grep -cE "$pattern" <<<"$resources" || true)
  if [ "$seen" -ne "$count" ]; then
    echo "$exe: $what: expected $count, found $seen" >&2
    status=1
  fi
}
expect "console dialog 102" '^102 DIALOGEX '
expect "layout of the console's controls" '^102 "AFX_DIALOG_LAYOUT"'
expect "About box 100" '^100 DIALOGEX '
expect "string table" '^STRINGTABLE'
expect "icon 128" '^128 14 /\* RT_GROUP_ICON \*/'
expect "version block" '^1 VERSIONINFO'
expect "manifest" '^1 24 /\* RT_MANIFEST \*/'
expect "comctl32 6 in the manifest" 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""'
expect "manifest entries for $manifest_arch" "processorArchitecture=\"\"$manifest_arch\"\"" 2
[ $status -eq 0 ] && echo "checked $exe: dialogs, layout, strings, icon, version and the $manifest_arch manifest"
exit $status
