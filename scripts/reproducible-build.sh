#!/usr/bin/env bash
# The reproducibility check: builds both release packages twice, from the sources here and from a copy of
# them at another path, into two temporary directories one after the other, and compares both exes and both
# zips byte for byte. Fails naming the file that differs. With DIST_DIR it leaves the first build's zips there.
# Usage: reproducible-build.sh [DIST_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:-}
# The zips' file times; a build outside git takes the same fixed time as package/package.cmake.
: "${SOURCE_DATE_EPOCH:=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1735689600)}"
export SOURCE_DATE_EPOCH

a=$(mktemp -d /tmp/lumvora-repro-a.XXXXXX)
b=$(mktemp -d /tmp/lumvora-repro-b.XXXXXX)
trap 'rm -rf "$a" "$b"' EXIT

build() {  # sources, output folder: leaves win32/Lumvora.exe, win64/Lumvora.exe and the zips in OUT/out
  local src=$1 out=$2 bits triplet
  mkdir -p "$out/out"
  for bits in 32 64; do
    triplet=i686; [ "$bits" = 64 ] && triplet=x86_64
    cmake -S "$src" -B "$out/win$bits" --toolchain "$src/cmake/mingw-w64-$triplet.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DLUMVORA_BUILD_TESTS=OFF >"$out/log" 2>&1 || { cat "$out/log"; return 1; }
    cmake --build "$out/win$bits" -j "$(nproc)" --target Lumvora >"$out/log" 2>&1 || { cat "$out/log"; return 1; }
    cpack --config "$out/win$bits/CPackConfig.cmake" -B "$out/win$bits/cpack" >"$out/log" 2>&1 \
      || { cat "$out/log"; return 1; }
    mkdir -p "$out/out/win$bits"
    cp "$out/win$bits/bin/Lumvora.exe" "$out/out/win$bits/"
    cp "$out/win$bits/cpack/"*.zip "$out/out/"
  done
}

echo "reproducibility: first build in $a"
build "$root" "$a"
# The second build: a copy of the sources at a longer path, and a later time.
mkdir -p "$b/elsewhere/src"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$b/elsewhere/src" -xf -
# The QR encoder's sources, which scripts/install-deps.sh put under build/, at the same place in the copy.
mkdir -p "$b/elsewhere/src/build/deps" && cp -r "$root/build/deps/qrcodegen" "$b/elsewhere/src/build/deps/"
sleep 1
echo "reproducibility: second build in $b"
build "$b/elsewhere/src" "$b"

status=0
files=$(cd "$a/out" && find . -type f | sort)
[ "$files" = "$(cd "$b/out" && find . -type f | sort)" ] || { echo "the two builds made different files"; status=1; }
for f in $files; do
  if out=$(cmp "$a/out/$f" "$b/out/$f" 2>&1); then
    echo "same: ${f#./}"
  else
    echo "DIFFERS: ${f#./} ($out)"
    status=1
  fi
done
[ "$status" = 0 ] || { echo "reproducibility: FAILED, the two builds differ"; exit 1; }
echo "reproducibility: the two builds are byte for byte the same"
if [ -n "$dist" ]; then
  mkdir -p "$dist"
  cp "$a/out/"*.zip "$dist/"
fi
