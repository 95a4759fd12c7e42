#!/usr/bin/env bash
# The status window's join code as a phone's camera would read it: each status_qr_*.bmp that the
# end-to-end test saved (a screenshot of the window) must hold a QR code whose bytes, read back by a real
# decoder (zbarimg, Debian's zbar-tools; -Sbinary keeps UTF-8 as it is), are exactly those of the
# status_qr_*.txt beside it. Usage: check_status_qr.sh SCREENSHOT_DIR   (its -dpiN siblings are read too)
set -euo pipefail
dir=$1
count=0 status=0
for bmp in "$dir"/status_qr_*.bmp "$dir"-dpi*/status_qr_*.bmp; do
  [ -e "$bmp" ] || continue
  count=$((count + 1))
  expected=${bmp%.bmp}.txt
  # Byte for byte: with -Sbinary, zbarimg prints the code's bytes alone, without a line end. Its stderr
  # carries only complaints about a missing D-Bus.
  if [ -f "$expected" ] && cmp -s <(zbarimg --raw -q -Sbinary "$bmp" 2>/dev/null) "$expected"; then
    echo "ok: ${bmp#"$dir"} reads back as $(cat "$expected")"
  else
    echo "FAIL: ${bmp#"$dir"} reads back as '$(zbarimg --raw -q -Sbinary "$bmp" 2>/dev/null)', expected '$(cat "$expected" 2>/dev/null)'"
    status=1
  fi
done
[ "$count" -ge 2 ] || { echo "FAIL: $count join codes saved in $dir; the end-to-end test saves two"; exit 1; }
exit $status
