# Sourced by the scripts: the Wine prefix under build/, the Chinese locale, and a display.
# Leaves LUMVORA_XVFB_PID set when it started an Xvfb of its own (stop it with lumvora_stop_display).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$root/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
# Code page 936 for the ANSI and OEM code pages, as on the Simplified Chinese systems the program targets.
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

lumvora_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # Wine's own fonts (Marlett draws the title bar's close box) are not found where Debian puts them.
  if [ -d /usr/share/wine/fonts ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/*.tt[fc] "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Chinese text needs a CJK font where programs ask for 宋体 / SimSun: the Sharp face of WenQuanYi Zen Hei
  # has crisp bitmaps at the small sizes the window uses. A virtual desktop gives
  # windows the title bars that Windows draws, which Xvfb alone (no window manager) does not.
  local reg="$WINEPREFIX/lumvora.reg"
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"SimSun"="WenQuanYi Zen Hei Sharp"' \
    '"宋体"="WenQuanYi Zen Hei Sharp"' \
    '"NSimSun"="WenQuanYi Zen Hei Sharp"' \
    '"新宋体"="WenQuanYi Zen Hei Sharp"' \
    '[HKEY_CURRENT_USER\Control Panel\Desktop]' \
    '"FontSmoothing"="2"' \
    '"FontSmoothingType"=dword:00000001' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' \
    '"Desktop"="Default"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' \
    '"Default"="1024x768"' '' > "$reg.utf8"
  local sum
  sum=$(md5sum < "$reg.utf8")
  if [ "$(cat "$WINEPREFIX/.lumvora-settings" 2>/dev/null)" != "$sum" ]; then
    # regedit reads a REGEDIT4 file in the ANSI code page.
    iconv -f UTF-8 -t GBK "$reg.utf8" > "$reg"
    wine regedit "$reg" >/dev/null 2>&1
    wineserver -w
    echo "$sum" > "$WINEPREFIX/.lumvora-settings"
  fi
}

# Drive R: is an empty folder, for the tests that run the program from the root of a drive.
lumvora_drive_r() {
  mkdir -p "$root/build/wine-drive-r"
  ln -sfn "$root/build/wine-drive-r" "$WINEPREFIX/dosdevices/r:"
}

lumvora_display() {
  if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then return 0; fi
  local n
  for n in 99 98 97 96 95; do
    if [ -e "/tmp/.X$n-lock" ]; then
      # A lock left by a server that is gone (a machine handed on) is stale.
      kill -0 "$(tr -d ' ' < "/tmp/.X$n-lock" 2>/dev/null)" 2>/dev/null && continue
      rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    LUMVORA_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
      sleep 0.1
    done
  done
  echo "cannot start Xvfb" >&2
  return 1
}

lumvora_stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${LUMVORA_XVFB_PID:-}" ]; then kill "$LUMVORA_XVFB_PID" 2>/dev/null || true; fi
}
