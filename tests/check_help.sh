#!/usr/bin/env bash
# The compiled help document: an ITSF version 3 file that holds the topic, its stylesheet and every
# picture the topic shows, each byte for byte as in the sources; and the length the program is built with
# is the file's own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
help="$root/src/resources/help"
chm="$help/Lumvo_help.chm"
generated=${1:-}
fail() { echo "FAIL: $*"; exit 1; }

[ "$(head -c 4 "$chm")" = ITSF ] || fail "no ITSF signature"
version=$(od -An -t u4 -j 4 -N 4 "$chm" | tr -d ' ')
[ "$version" = 3 ] || fail "ITSF version $version, not 3"

listing=$(chmls --no-page list "$chm" | awk 'NF >= 4 { print $4 }')
has() { grep -qxF "/$1" <<<"$listing"; }
has index.htm || fail "the topic index.htm is not inside"
has style.css || fail "style.css is not inside"
images=$(grep -o 'src="[^"]*"' "$help/index.htm" | sed 's/^src="//; s/"$//' | sort -u)
[ -n "$images" ] || fail "the topic shows no pictures"
count=0
for image in $images; do
  has "$image" || fail "$image is shown by the topic but not inside the document"
  count=$((count + 1))
done
stylesheets=$(grep -o 'href="[^"]*\.css"' "$help/index.htm" | sed 's/^href="//; s/"$//')
for css in $stylesheets; do has "$css" || fail "$css is not inside"; done

# Every picture comes out unchanged.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for image in $images; do
  chmls --no-page extract "$chm" "/$image" "$out/x" >/dev/null 2>&1 || fail "cannot extract $image"
  cmp -s "$out/x" "$help/$image" || fail "$image differs from its source"
done

# The page and its stylesheet are what the sources say now: the document was compiled again after they
# changed (scripts/build-help.sh stores them in GB2312 with CR LF, the page declaring gb2312).
for text in index.htm style.css; do
  chmls --no-page extract "$chm" "/$text" "$out/x" >/dev/null 2>&1 || fail "cannot extract $text"
  iconv -f GB2312 -t UTF-8 "$out/x" | tr -d '\r' | sed 's/charset=gb2312/charset=utf-8/I' >"$out/compiled"
  tr -d '\r' <"$help/$text" >"$out/source"
  cmp -s "$out/compiled" "$out/source" || fail "$text in the document differs from its source: run scripts/build-help.sh"
done

if [ -n "$generated" ]; then
  length=$(grep -o 'HelpDocLength = [0-9]*' "$generated" | awk '{print $3}')
  [ "$length" = "$(stat -c %s "$chm")" ] || fail "HelpDocLength $length, the document is $(stat -c %s "$chm") bytes"
fi
echo "ok: ITSF version 3, index.htm and style.css as in the sources, and $count pictures inside and unchanged"
