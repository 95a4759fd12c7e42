#!/usr/bin/env bash
# The two flavours carry the same resources, byte for byte: version block and its strings, icons, cursor,
# background picture, help document. Each exe is read by its own flavour's windres.
# Usage: check_same_resources.sh EXE_A WINDRES_A EXE_B WINDRES_B
set -euo pipefail
[ -f "$3" ] || { echo "missing $3: build the other flavour first"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# One file per resource, named by its type and name, so that a difference names the resource. A resource's
# language shows in its text.
split_resources() {  # exe windres folder
  mkdir -p "$3"
  "$2" -J coff -O rc -i "$1" | awk -v out="$3" '
    /^\/\* Type:/ { type = $0; sub(/^\/\* Type: */, "", type); file = ""; next }
    /^ *Name:/    { name = $0; sub(/^ *Name: */, "", name); sub(/ *\*\/.*/, "", name)
                    file = type "_" name; gsub(/[^A-Za-z0-9_]/, "_", file); next }
    file != ""    { print > (out "/" file) }'
}
split_resources "$1" "$2" "$dir/a"
split_resources "$3" "$4" "$dir/b"
count=$(ls "$dir/a" | wc -l)
[ "$count" -gt 0 ] || { echo "no resources read from $1"; exit 1; }
if diff -rq "$dir/a" "$dir/b" >/dev/null; then
  echo "ok: the same $count resources in $1 and $3"
  exit 0
fi
echo "the resources of $1 and $3 differ:"
diff -rq "$dir/a" "$dir/b" | sed -e "s|$dir/a/||g" -e "s|$dir/b/||g" -e 's/^/  /'
exit 1
