#!/usr/bin/env bash
# Builds Lumvora.exe and starts it under Wine. Without a display it runs in Xvfb for a few seconds and
# saves what the screen showed to build/screenshots/run.png. Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" --target Lumvora
exe="$root/build/mingw/bin/Lumvora.exe"
echo "built: $exe"

had_display=
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then had_display=1; fi
source scripts/wine-env.sh 2>/dev/null
lumvora_prefix

if [ -n "$had_display" ]; then
  cd "$(dirname "$exe")"
  exec wine "$exe"
fi

lumvora_display
trap lumvora_stop_display EXIT
(cd "$(dirname "$exe")" && wine "$exe" >/dev/null 2>&1 &)
for _ in $(seq 100); do
  xdotool search --name '^Lumvora$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
mkdir -p build/screenshots
import -window root build/screenshots/run.png
echo "no display: Lumvora.exe ran in Xvfb; screenshot saved to build/screenshots/run.png"
