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

# The help page as its HTML sources render, for a person to look at.
mkdir -p build/screenshots
chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
  --disable-sync --no-first-run --hide-scrollbars --user-data-dir="$(mktemp -d)" --window-size=820,5200 \
  --screenshot="$root/build/screenshots/help_page.png" "file://$root/src/resources/help/index.htm" \
  >/dev/null 2>&1 || echo "could not render the help page"

for bmp in build/screenshots/*.bmp; do
  [ -e "$bmp" ] || continue
  /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
[ -d build/screenshots ] && echo "screenshots: $(ls build/screenshots | tr '\n' ' ')"
exit "$status"
