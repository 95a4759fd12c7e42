# Sourced by the scripts: one Wine prefix per flavour under build/, the Chinese locale, and a display.
#   lumvora_flavour 32|64   picks the flavour's loader and prefix (WINEPREFIX, WINEARCH, WINELOADER)
#   lumvora_wine ARGS...    runs ARGS with that loader
#   lumvora_can_run         tries the loader once; on failure LUMVORA_WINE_PROBLEM says why and what to do
#   lumvora_dpi_prefix      switches to the flavour's prefix for other DPIs (build/wineprefix32-dpi, 64-dpi)
#   lumvora_dpi DPI         sets the DPI that the prefix's programs see, restarting its wineserver
# Leaves LUMVORA_XVFB_PID set when it started an Xvfb of its own (stop it with lumvora_stop_display).
#
# Debian's `wine` wrapper is never used: it takes the 32-bit loader whenever wine32 is installed, and on a
# kernel that runs no 32-bit code that loader fails with "Exec format error" (exit 126) and nothing else.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/runs-32bit.sh"
export WINEDEBUG=-all
# Code page 936 for the ANSI and OEM code pages, as on the Simplified Chinese systems the program targets.
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
LUMVORA_WINESERVER=/usr/lib/wine/wineserver
LUMVORA_PREFIXES=()

lumvora_flavour() {
  LUMVORA_FLAVOUR=$1
  case "$1" in
    32) export WINEARCH=win32; LUMVORA_WINE=${LUMVORA_WINE32_LOADER:-/usr/lib/wine/wine} ;;
    64) export WINEARCH=win64; LUMVORA_WINE=${LUMVORA_WINE64_LOADER:-/usr/lib/wine/wine64} ;;
    *) echo "lumvora_flavour: 32 or 64, not '$1'" >&2; return 1 ;;
  esac
  export WINEPREFIX="$root/build/wineprefix$1"
  # Wine starts further programs of the prefix (cmd.exe, netsh.exe) through the loader named here.
  export WINELOADER="$LUMVORA_WINE"
  LUMVORA_PREFIXES+=("$WINEPREFIX")
}

lumvora_wine() { "$LUMVORA_WINE" "$@"; }

# Runs the flavour's loader once. Deciding by trying: whether a kernel runs 32-bit code shows in no file.
lumvora_can_run() {
  LUMVORA_WINE_PROBLEM=
  local out status=0 package=wine64
  [ "$LUMVORA_FLAVOUR" = 32 ] && package=wine32:i386
  if [ ! -e "$LUMVORA_WINE" ]; then
    # install-deps.sh leaves 32-bit Wine out where the kernel cannot run it, and goes on without it where
    # the package archive could not give it.
    if [ "$LUMVORA_FLAVOUR" = 32 ] && ! lumvora_kernel_runs_32bit; then
      LUMVORA_WINE_PROBLEM="this machine's kernel runs no 32-bit code, so 32-bit Wine is not installed"
    elif [ "$LUMVORA_FLAVOUR" = 32 ] && [ -f "$root/build/install-deps-i386.failed" ]; then
      LUMVORA_WINE_PROBLEM="32-bit Wine could not be installed from the package archive today ($(head -c 300 \
        "$root/build/install-deps-i386.failed" | tr '\n' ' ')); bash scripts/install-deps.sh tries again"
    else
      LUMVORA_WINE_PROBLEM="$LUMVORA_WINE is missing: install $package (bash scripts/install-deps.sh does)"
    fi
    return 1
  fi
  out=$("$LUMVORA_WINE" --version 2>&1) || status=$?
  [ "$status" = 0 ] && return 0
  if [ "$status" = 126 ] || [[ $out == *"Exec format error"* ]]; then
    LUMVORA_WINE_PROBLEM="this machine's kernel runs no $LUMVORA_FLAVOUR-bit code: $LUMVORA_WINE cannot start (Exec format error)"
  else
    LUMVORA_WINE_PROBLEM="$LUMVORA_WINE --version failed with exit status $status (${out:0:200}): reinstall $package"
  fi
  return 1
}

lumvora_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the $LUMVORA_FLAVOUR-bit prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    local status=0
    lumvora_wine wineboot -i >/dev/null 2>&1 || status=$?
    "$LUMVORA_WINESERVER" -w || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine: could not create the prefix $WINEPREFIX with $LUMVORA_WINE (wineboot exit status $status);" \
           "run '$LUMVORA_WINE wineboot -i' by hand to see why" >&2
      return 1
    fi
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
    lumvora_wine regedit "$reg" >/dev/null 2>&1
    "$LUMVORA_WINESERVER" -w || true
    echo "$sum" > "$WINEPREFIX/.lumvora-settings"
  fi
}

# A prefix of its own for runs at other DPIs, so that the flavour's prefix stays at 96 whatever happens
# to a run. Call lumvora_prefix after it, as for the flavour's prefix.
lumvora_dpi_prefix() {
  export WINEPREFIX="$root/build/wineprefix$LUMVORA_FLAVOUR-dpi"
  LUMVORA_PREFIXES+=("$WINEPREFIX")
}

# Wine gives every process the DPI in HKCU\Control Panel\Desktop\LogPixels (Windows' manifest settings
# play no part), read when the wineserver starts: set it, then wait for the server to write it and stop.
lumvora_dpi() {
  lumvora_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  "$LUMVORA_WINESERVER" -w || true
}

# Drive R: is an empty folder, for the tests that run the program from the root of a drive.
lumvora_drive_r() {
  mkdir -p "$root/build/wine-drive-r"
  ln -sfn "$root/build/wine-drive-r" "$WINEPREFIX/dosdevices/r:"
}

lumvora_display() {
  if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 99 -1 80); do
    if [ -e "/tmp/.X$n-lock" ]; then
      # A lock left by a server that is gone (a machine handed on) is stale.
      kill -0 "$(tr -d ' ' < "/tmp/.X$n-lock" 2>/dev/null)" 2>/dev/null && continue
      rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    LUMVORA_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      # Ours, not another server on that number: X's abstract sockets are shared with chroots and other
      # users of the machine, whose lock files this /tmp does not show. A server that found the number
      # taken has exited.
      kill -0 "$LUMVORA_XVFB_PID" 2>/dev/null || break
      if xdotool getdisplaygeometry >/dev/null 2>&1; then
        sleep 0.3
        kill -0 "$LUMVORA_XVFB_PID" 2>/dev/null && return 0
        break
      fi
      sleep 0.1
    done
  done
  echo "cannot start Xvfb" >&2
  return 1
}

lumvora_stop_display() {
  local p
  for p in "${LUMVORA_PREFIXES[@]}"; do
    WINEPREFIX=$p "$LUMVORA_WINESERVER" -k >/dev/null 2>&1 || true
  done
  if [ -n "${LUMVORA_XVFB_PID:-}" ]; then kill "$LUMVORA_XVFB_PID" 2>/dev/null || true; fi
}
