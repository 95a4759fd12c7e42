#!/usr/bin/env bash
# Builds the help document src/resources/help/Lumvo_help.chm from its sources in the same folder, with
# chmcmd (Debian's fp-utils), and prints the size of the result in bytes.
#
# The sources are kept as UTF-8. HTML Help is an ANSI-era format: the viewer and HTML Help Workshop read
# the project, the table of contents and the title in the code page of the help's language (0x804, code
# page 936), so the text files are converted to GB2312 (a subset of GBK) in a staging folder, the page's
# <meta charset> is switched to gb2312 there, and that copy is compiled.
#
#   bash scripts/build-help.sh               build Lumvo_help.chm
#   bash scripts/build-help.sh --stage DIR   also keep the converted project in DIR (an empty or new
#                                            folder), e.g. to compile it with HTML Help Workshop on Windows
#
# The pictures are committed; src/resources/help/draw_illustrations.py redraws the drawn ones.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
help="$root/src/resources/help"
project=Lumvo_help.hhp
output="$help/Lumvo_help.chm"

die() {
  echo "build-help: error: $*" >&2
  exit 1
}

keep=
while [ $# -gt 0 ]; do
  case "$1" in
    --stage)
      [ $# -ge 2 ] || die "--stage needs a folder"
      keep=$2
      shift 2
      ;;
    -h | --help)
      sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
      exit 0
      ;;
    *) die "unknown argument: $1 (see --help)" ;;
  esac
done

if ! command -v chmcmd >/dev/null 2>&1 || ! command -v chmls >/dev/null 2>&1; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "build-help: installing fp-utils (chmcmd, chmls)"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq fp-utils >/dev/null ||
      { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq fp-utils >/dev/null; } ||
      die "could not install fp-utils"
  fi
  command -v chmcmd >/dev/null 2>&1 || die "chmcmd is missing: install Debian's fp-utils"
  command -v chmls >/dev/null 2>&1 || die "chmls is missing: install Debian's fp-utils"
fi
command -v iconv >/dev/null 2>&1 || die "iconv is missing"

[ -f "$help/$project" ] || die "$help/$project is missing"

if [ -n "$keep" ]; then
  mkdir -p "$keep"
  [ -z "$(ls -A "$keep")" ] || die "the staging folder $keep is not empty"
  stage=$(cd "$keep" && pwd)
else
  stage=$(mktemp -d "${TMPDIR:-/tmp}/lumvo-help.XXXXXX")
  trap 'rm -rf "$stage"' EXIT
fi

# The files that the project compiles in: its [FILES] section, with Windows' backslashes.
files=$(tr -d '\r' <"$help/$project" |
  awk '/^\[/ { in_files = ($0 == "[FILES]"); next } in_files && NF { print }' | tr '\134' '/')
[ -n "$files" ] || die "$project lists no files"

# Every file the project names exists, and every picture and page of the folder is named.
while IFS= read -r f; do
  [ -f "$help/$f" ] || die "$project lists $f, which does not exist"
done <<<"$files"
while IFS= read -r f; do
  grep -qxF "$f" <<<"$files" || die "$f is not listed in the [FILES] section of $project"
done < <(cd "$help" && find . -maxdepth 2 \( -name '*.htm' -o -name '*.css' -o -path './images/*.png' \) |
  sed 's|^\./||' | sort)
# Every picture that a page shows is compiled in.
while IFS= read -r f; do
  grep -qxF "$f" <<<"$files" || die "index.htm shows $f, which is not listed in $project"
done < <(grep -o '<img src="[^"]*"' "$help/index.htm" | sed 's/^<img src="//; s/"$//')

# Text as GB2312 with CR LF line ends; iconv stops at any character that GB2312 does not have.
to_ansi() { # source target [name to report]
  iconv -f UTF-8 -t GB2312 "$1" | sed 's/\r$//; s/$/\r/' >"$2" ||
    die "${3:-$1} has a character that GB2312 (code page 936) cannot hold (see iconv's position above)"
}

mkdir -p "$stage/images"
to_ansi "$help/$project" "$stage/$project"
to_ansi "$help/Lumvo_help.hhc" "$stage/Lumvo_help.hhc"
while IFS= read -r f; do
  case "$f" in
    *.htm)
      n=$(grep -ci '<meta http-equiv="Content-Type" content="text/html; charset=utf-8">' "$help/$f") ||
        die "$f has no <meta> that declares UTF-8"
      [ "$n" = 1 ] || die "$f declares its charset $n times"
      sed 's/charset=utf-8/charset=gb2312/I' "$help/$f" >"$stage/$f.utf8"
      to_ansi "$stage/$f.utf8" "$stage/$f" "$help/$f"
      rm "$stage/$f.utf8"
      ;;
    *.css) to_ansi "$help/$f" "$stage/$f" ;;
    *) cp "$help/$f" "$stage/$f" ;;
  esac
done <<<"$files"

# chmcmd exits with 0 after some failures, and writes an empty file after others: check its result too.
log="$stage/chmcmd.log"
set +e
(cd "$stage" && chmcmd --verbosity 1 "$project") >"$log" 2>&1
status=$?
set -e
chm="$stage/Lumvo_help.chm"
if [ "$status" != 0 ] || grep -qiE '(^|[^a-z])error|exception|access violation' "$log" || [ ! -s "$chm" ]; then
  cat "$log" >&2
  die "chmcmd failed (exit status $status)"
fi
rm "$log"

# An ITSF file of version 3, the format of compiled HTML Help.
magic=$(head -c 4 "$chm")
version=$(od -An -tu4 -j4 -N4 "$chm" | tr -d ' ')
[ "$magic" = ITSF ] || die "the compiled file does not start with ITSF"
[ "$version" = 3 ] || die "the compiled file is ITSF version $version, not 3"

# Everything that was listed is inside, and the table of contents and the system file as well.
listing=$(chmls --no-page list "$chm" 2>/dev/null | awk 'NF >= 4 { print $4 }') || die "chmls could not read the file"
while IFS= read -r f; do
  grep -qixF "/$f" <<<"$listing" || die "/$f is missing from the compiled file"
done <<<"$files"$'\n'"Lumvo_help.hhc"$'\n'"#SYSTEM"

if [ -n "$keep" ]; then
  cp "$chm" "$output"
else
  mv "$chm" "$output"
fi
size=$(stat -c %s "$output")
echo "built: ${output#"$root"/} ($size bytes, ITSF version $version, $(wc -l <<<"$files") files)"
echo "$size"
