#!/usr/bin/env bash
# Puts the screenshots that the end-to-end tests made of Lumvora into the help document's sources and
# recompiles the help. Run scripts/test.sh first; commit the changed images and Lumvo_help.chm.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The product's own screenshots where this machine could run it, else the 64-bit flavour's (they look alike).
shots="$root/build/screenshots/win32"
[ -d "$shots" ] || shots="$root/build/screenshots/win64"
images="$root/src/resources/help/images"
copy() {
  [ -f "$shots/$1.png" ] || { echo "missing $shots/$1.png: run scripts/test.sh first" >&2; exit 1; }
  # A palette of 256 colours keeps the document small; the screenshots have far fewer.
  /usr/bin/convert "$shots/$1.png" -strip PNG8:"$images/$2.png"
}
copy main_window shot_main
copy main_window_filled shot_filled
copy create_succeeded shot_created
copy start_failed shot_failed
copy main_window_menu shot_menu
copy status_window shot_status
bash "$root/scripts/build-help.sh"
