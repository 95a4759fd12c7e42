#!/usr/bin/env bash
# The exe is what its flavour promises, read from the file alone (so it holds where the exe cannot run):
# the PE format and machine, a GUI program, the resources the program loads, and no manifest.
# Usage: check_pe.sh EXE TRIPLET PE32|PE32+ i386|i386:x86-64   (the machine as objdump names it)
set -euo pipefail
exe=$1 triplet=$2 magic=$3 machine=$4
headers=$("$triplet-objdump" -p -f "$exe")
resources=$("$triplet-windres" -J coff -O rc -i "$exe" | grep -A2 '^/\* Type:' | tr -s ' \n' ' ')
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
         '"CUSTOM" Name: 101.'; do
  expect "resource $r" has "Type: $r " "$resources"
done
expect "no manifest" lacks "Type: manifest" "$resources"
exit $status
