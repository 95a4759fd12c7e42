#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests of the portable logic (native), then the Win32
# layer's tests and the end-to-end tests of Lumvora.exe (cross-compiled, under Wine in Xvfb).
# Installs what is missing first. Screenshots land in build/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh

jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"

source scripts/wine-env.sh 2>/dev/null
lumvora_prefix
lumvora_drive_r
lumvora_display
trap lumvora_stop_display EXIT
rm -rf build/screenshots
status=0
ctest --preset mingw || status=$?

for bmp in build/screenshots/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
[ -d build/screenshots ] && echo "screenshots: $(ls build/screenshots | tr '\n' ' ')"
exit "$status"
