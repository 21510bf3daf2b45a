#!/usr/bin/env bash
# Checks that Windows executables are PE32 (i386) and import nothing but
# Windows system DLLs: no mingw runtime DLL may be needed to run them.
set -euo pipefail
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
system_dlls=' advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll cryptnet.dll gdi32.dll
  imm32.dll kernel32.dll msvcrt.dll ncrypt.dll normaliz.dll ntdll.dll ole32.dll oleaut32.dll
  secur32.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll version.dll winmm.dll
  wininet.dll wintrust.dll ws2_32.dll '
# One space between names, also where the list above breaks its lines.
system_dlls=" $(echo $system_dlls) "
status=0
for exe in "$@"; do
  headers=$("$objdump" -p "$exe")
  if ! grep -q 'file format pei-i386' <<<"$headers"; then
    echo "$exe: not a PE32 i386 image" >&2
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
[ $status -eq 0 ] && echo "checked $# executables: PE32 i386, system DLLs only"
exit $status
