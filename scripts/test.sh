#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests of the portable logic (native), then, for each
# flavour of Lumvora.exe (64-bit and 32-bit), the checks of the exe as a file and the Win32 layer's and
# end-to-end tests under that flavour's Wine in Xvfb. On a machine that runs no 32-bit code the 32-bit exe
# is still built and checked as a file. Installs what is missing first. Screenshots land in build/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh

jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

# The 64-bit flavour first: the 32-bit build compares its resources with the 64-bit exe.
for preset in mingw64 mingw; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

source scripts/wine-env.sh 2>/dev/null
lumvora_display
trap lumvora_stop_display EXIT
rm -rf build/screenshots
status=0
summary=()
for bits in 64 32; do
  preset=mingw64
  [ "$bits" = 32 ] && preset=mingw
  lumvora_flavour "$bits"
  if lumvora_can_run; then
    echo "== $bits-bit flavour: every test, under $LUMVORA_WINE"
    lumvora_prefix
    lumvora_drive_r
    if ctest --preset "$preset"; then summary+=("$bits-bit: all tests passed"); else
      status=1; summary+=("$bits-bit: TESTS FAILED"); fi
  elif [ "$bits" = 32 ] && [[ $LUMVORA_WINE_PROBLEM == *"runs no 32-bit code"* ||
                               $LUMVORA_WINE_PROBLEM == *"could not be installed"* ]]; then
    echo "== 32-bit flavour: the checks of the exe as a file only"
    why="this machine runs no 32-bit code"
    [[ $LUMVORA_WINE_PROBLEM == *"could not be installed"* ]] && why="32-bit Wine could not be installed today (see build/install-deps-i386.failed)"
    if ctest --preset "$preset" -L static; then
      summary+=("32-bit: $why, so the 32-bit Lumvora.exe was built and checked without being run (PE32, i386, GUI, system DLLs only, the same resources as the 64-bit exe)")
    else
      status=1; summary+=("32-bit: CHECKS OF THE EXE FAILED")
    fi
  else
    echo "wine: $LUMVORA_WINE_PROBLEM" >&2
    status=1; summary+=("$bits-bit: NOT TESTED: $LUMVORA_WINE_PROBLEM")
  fi
done

# The help page as its HTML sources render, for a person to look at.
mkdir -p build/screenshots
chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
  --disable-sync --no-first-run --hide-scrollbars --user-data-dir="$(mktemp -d)" --window-size=820,9000 \
  --screenshot="$root/build/screenshots/help_page.png" "file://$root/src/resources/help/index.htm" \
  >/dev/null 2>&1 || echo "could not render the help page"

for bmp in build/screenshots/*/*.bmp; do
  [ -e "$bmp" ] || continue
  /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
for d in build/screenshots/win*; do
  [ -d "$d" ] && echo "screenshots in $d: $(ls "$d" | tr '\n' ' ')"
done
printf '%s\n' "${summary[@]}"
exit "$status"
