#!/usr/bin/env bash
# check-pe-imports.sh i686|x86_64 EXECUTABLE ...: checks that Windows
# executables are images of that architecture (PE32 i386 or PE32+ x86-64)
# and import nothing but Windows system DLLs: no mingw runtime DLL may be
# needed to run them.
set -euo pipefail
case "${1:-}" in
  i686) format=pei-i386 kind="PE32 i386" ;;
  x86_64) format=pei-x86-64 kind="PE32+ x86-64" ;;
  *) echo "usage: $(basename "$0") i686|x86_64 EXECUTABLE ..." >&2; exit 2 ;;
esac
objdump=${OBJDUMP:-$1-w64-mingw32-objdump}
shift
system_dlls=' advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll cryptnet.dll gdi32.dll
  imm32.dll kernel32.dll msvcrt.dll ncrypt.dll normaliz.dll ntdll.dll ole32.dll oleaut32.dll
  secur32.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll version.dll winmm.dll
  wininet.dll wintrust.dll ws2_32.dll '
# One space between names, also where the list above breaks its lines.
system_dlls=" $(tr -s '[:space:]' ' ' <<<"$system_dlls") "
status=0
for exe in "$@"; do
  headers=$("$objdump" -p "$exe")
  if ! grep -q "file format $format\$" <<<"$headers"; then
    echo "$exe: not a $kind image" >&2
    status=1
  fi
  while read -r dll; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
    if [[ "$system_dlls" != *" $lower "* ]]; then
      echo "$exe: imports $dll, which is not a Windows system DLL" >&2
      status=1
    fi
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
done
[ $status -eq 0 ] && echo "checked $# images: $kind, system DLLs only"
exit $status
