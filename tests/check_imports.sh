#!/usr/bin/env bash
# Lumvora.exe must run from a bare copy: every DLL it imports has to ship with Windows.
set -euo pipefail
exe=$1
objdump=$2  # the flavour's own: i686 and x86-64 objdump read only their own format
allowed='^(kernel32|user32|gdi32|msvcrt|comctl32|ole32|oleaut32|shell32|advapi32|version|imm32|windowscodecs)\.dll$'
dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
[ -n "$dlls" ] || { echo "no imports found in $exe"; exit 1; }
status=0
for dll in $dlls; do
  if [[ $dll =~ $allowed ]]; then echo "ok: $dll"; else echo "NOT A SYSTEM DLL: $dll"; status=1; fi
done
exit $status
