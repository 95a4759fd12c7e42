#!/usr/bin/env bash
# The exe is what its flavour promises, read from the file alone (so it holds where the exe cannot run):
# the PE format and machine, a GUI program, the resources the program loads, and its manifest, element by
# element.
# Usage: check_pe.sh EXE TRIPLET PE32|PE32+ i386|i386:x86-64   (the machine as objdump names it)
set -euo pipefail
exe=$1 triplet=$2 magic=$3 machine=$4
headers=$("$triplet-objdump" -p -f "$exe")
script=$("$triplet-windres" -J coff -O rc -i "$exe")
resources=$(grep -A2 '^/\* Type:' <<<"$script" | tr -s ' \n' ' ')
# The manifest's text as windres prints it, one quoted line each ("" for a quote), joined into one line
# with every run of blanks made one.
manifest=$(awk '/^1 24 / { inside = 1; next } inside && /^END/ { exit }
                inside && /^ *"/ { sub(/^ *"/, ""); sub(/"$/, ""); gsub(/\\n/, " "); gsub(/""/, "\""); printf "%s ", $0 }' \
             <<<"$script" | tr -s ' ')
status=0
expect() {  # what, then the command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "WRONG: $what"; status=1; fi
}
has() { grep -Fq -- "$1" <<<"$2"; }
lacks() { ! has "$@"; }
expect "format $magic" has "($magic)" "$(grep '^Magic' <<<"$headers")"
expect "machine $machine" has "architecture: $machine," "$headers"
expect "GUI subsystem" has "(Windows GUI)" "$(grep '^Subsystem' <<<"$headers")"
for r in 'version Name: 1.' 'group icon Name: 100.' 'group cursor Name: 102.' 'rcdata Name: 103.' \
         '"CUSTOM" Name: 101.' '24 Name: 1.'; do
  expect "resource $r" has "Type: $r " "$resources"
done
expect "one manifest, language neutral" \
  test "$(grep -c '^1 24 ' <<<"$script")" = 1 -a "$(grep -B2 '^1 24 ' <<<"$script" | grep -c '^LANGUAGE 0, 0')" = 1
expect "manifest is an asm.v1 assembly" has '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">' "$manifest"
expect "administrator rights asked for" \
  has '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"> <security> <requestedPrivileges> <requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>' "$manifest"
for os in '35138b9a-5d96-4fbd-8e2d-a2440225f93a 7' '4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 8' \
          '1f676c76-80e1-4239-95bb-83d0f6d0da78 8.1' '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a 10'; do
  expect "supported: Windows ${os#* }" has "<supportedOS Id=\"{${os%% *}}\"/>" "$manifest"
done
expect "DPI aware: the system DPI on Windows 7 and 8, each monitor's from 8.1" \
  has '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' "$manifest"
expect "DPI awareness per monitor, version 2 first (Windows 10 1703)" \
  has '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' "$manifest"
expect "no Common Controls 6: the classic look" lacks 'Common-Controls' "$manifest"
expect "no processor architecture: the same bytes in both flavours" lacks 'processorArchitecture' "$manifest"
expect "no other dependency" lacks '<dependency' "$manifest"
exit $status
