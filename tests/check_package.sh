#!/usr/bin/env bash
# The package and the exe agree on the version: the zip's name that CPack will use, the version resource's
# numbers and strings read back from the exe, and the first line of 说明.txt. 说明.txt is in the form that
# Windows 7's Notepad shows correctly: UTF-8 with a byte order mark, every line ending in CR LF.
# Usage: check_package.sh EXE WINDRES CPackConfig.cmake 说明.txt win32|win64
set -euo pipefail
exe=$1 windres=$2 cpack_config=$3 readme=$4 flavour=$5
name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$cpack_config")
status=0
expect() {  # what, then the command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "WRONG: $what"; status=1; fi
}
[[ $name =~ ^Lumvora-([0-9]+)\.([0-9]+)\.([0-9]+)-(win32|win64)$ ]] || { echo "WRONG: package name '$name'"; exit 1; }
major=${BASH_REMATCH[1]} minor=${BASH_REMATCH[2]} patch=${BASH_REMATCH[3]}
expect "package $name.zip for $flavour" test "${BASH_REMATCH[4]}" = "$flavour"
version=$("$windres" -J coff -O rc -i "$exe" | sed -n '/VERSIONINFO/,/VarFileInfo/p')
numbers="$major, $minor, 0, $patch"
text=$(printf '%d.%02d' "$major" "$minor")
expect "FILEVERSION $numbers" grep -qx " FILEVERSION $numbers" <<<"$version"
expect "PRODUCTVERSION $numbers" grep -qx " PRODUCTVERSION $numbers" <<<"$version"
expect "FileVersion \"$text\"" grep -qx "  *VALUE \"FileVersion\", \"$text\"" <<<"$version"
expect "ProductVersion \"$text\"" grep -qx "  *VALUE \"ProductVersion\", \"$text\"" <<<"$version"
expect "说明.txt starts with a UTF-8 byte order mark" test "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf
expect "说明.txt ends every line in CR LF" test "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")"
expect "说明.txt names version $major.$minor.$patch" grep -q "^.*Lumvora $major\.$minor\.$patch"$'\r$' <(head -1 "$readme")
exit $status
