#!/usr/bin/env bash
# Builds both flavours of Lumvora.exe and starts one under Wine: the 32-bit one where this machine runs
# 32-bit code, the 64-bit one where it does not. Without a display it runs in Xvfb for a few seconds and
# saves what the screen showed to build/screenshots/run.png. Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
for preset in mingw mingw64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target Lumvora
done
echo "built: $root/build/mingw/bin/Lumvora.exe (32-bit), $root/build/mingw64/bin/Lumvora.exe (64-bit)"

had_display=
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then had_display=1; fi
source scripts/wine-env.sh 2>/dev/null
lumvora_flavour 32
exe="$root/build/mingw/bin/Lumvora.exe"
if ! lumvora_can_run; then
  echo "32-bit flavour not started: $LUMVORA_WINE_PROBLEM"
  lumvora_flavour 64
  exe="$root/build/mingw64/bin/Lumvora.exe"
  lumvora_can_run || { echo "cannot start Wine: $LUMVORA_WINE_PROBLEM" >&2; exit 1; }
fi
lumvora_prefix
echo "starting the $LUMVORA_FLAVOUR-bit flavour: $exe"

if [ -n "$had_display" ]; then
  cd "$(dirname "$exe")"
  exec "$LUMVORA_WINE" "$exe"
fi

lumvora_display
trap lumvora_stop_display EXIT
(cd "$(dirname "$exe")" && "$LUMVORA_WINE" "$exe" >/dev/null 2>&1 &)
for _ in $(seq 100); do
  xdotool search --name '^Lumvora$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
mkdir -p build/screenshots
/usr/bin/import -window root build/screenshots/run.png
echo "no display: the $LUMVORA_FLAVOUR-bit Lumvora.exe ran in Xvfb; screenshot saved to build/screenshots/run.png"
