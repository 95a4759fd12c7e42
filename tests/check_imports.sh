#!/usr/bin/env bash
# Lumvora.exe must run from a bare copy and load nothing from its own folder: every DLL it imports has to
# be one of the system's known DLLs, which Windows takes from the system directory only (any other name is
# looked for beside the exe first). It must also be marked terminal-server aware.
set -euo pipefail
exe=$1
objdump=$2  # the flavour's own: i686 and x86-64 objdump read only their own format
known='^(kernel32|user32|gdi32|msvcrt|ole32|oleaut32|shell32|advapi32|imm32|comdlg32|shlwapi|ws2_32)\.dll$'
headers=$("$objdump" -p "$exe")
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers")
[ -n "$dlls" ] || { echo "no imports found in $exe"; exit 1; }
status=0
for dll in $dlls; do
  if [[ $dll =~ $known ]]; then echo "ok: $dll"; else echo "NOT A KNOWN DLL: $dll"; status=1; fi
done
if grep -q TERMINAL_SERVICE_AWARE <<<"$headers"; then echo "ok: terminal-server aware"; else
  echo "NOT MARKED TERMINAL-SERVER AWARE"; status=1; fi
exit $status
