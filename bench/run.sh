#!/usr/bin/env bash
# Runs the benchmarks under Wine and prints their figures as ratios against references measured in the
# same run. Usage: [LUMVORA_DPI=144] bench/run.sh [runs] [32|64]   (at least 10 runs each; default 15)
# Without a flavour it takes the 32-bit one where this machine runs 32-bit code, else the 64-bit one.
# LUMVORA_DPI runs everything at another DPI, in the flavour's prefix for other DPIs (its own prefix stays
# at 96).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-15}
bash scripts/install-deps.sh
source scripts/wine-env.sh 2>/dev/null
if [ -n "${2:-}" ]; then
  lumvora_flavour "$2"
  lumvora_can_run || { echo "cannot run the $2-bit flavour: $LUMVORA_WINE_PROBLEM" >&2; exit 1; }
else
  lumvora_flavour 32
  if ! lumvora_can_run; then
    echo "32-bit flavour not measured: $LUMVORA_WINE_PROBLEM"
    lumvora_flavour 64
    lumvora_can_run || { echo "cannot start Wine: $LUMVORA_WINE_PROBLEM" >&2; exit 1; }
  fi
fi
preset=mingw64
triplet=x86_64-w64-mingw32
if [ "$LUMVORA_FLAVOUR" = 32 ]; then preset=mingw triplet=i686-w64-mingw32; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" --target lumvora_bench_startup lumvora_bench_breakdown \
  lumvora_bench_hotspot lumvora_bench_help lumvora_bench_status
dpi=${LUMVORA_DPI:-96}
[ "$dpi" = 96 ] || lumvora_dpi_prefix
lumvora_prefix
lumvora_display
trap lumvora_stop_display EXIT
[ "$dpi" = 96 ] || lumvora_dpi "$dpi"

# Every figure carries the flavour and the DPI that gave it.
tag() { sed -u "s/^/[$LUMVORA_FLAVOUR-bit, $dpi DPI] /"; }
dir=build/$preset
exe=$dir/bin/Lumvora.exe
{
  echo "== Lumvora.exe"
  echo "  size: $(stat -c %s "$exe") bytes"
  echo "  imports: $("$triplet-objdump" -p "$exe" | awk '/DLL Name/ {print $3}' | tr '\n' ' ')"
} | tag
echo "== start-up" | tag
lumvora_wine "$dir/bench/lumvora_bench_startup.exe" "$runs" | tag
# Where the time goes, from marks that a traced build of the same sources takes (Lumvora.exe has none).
lumvora_wine "$dir/bench/lumvora_bench_breakdown.exe" "$runs" | tag
echo "== hotspot command" | tag
# The instant netsh goes where the system's lives; Wine runs that file only when told to prefer it.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;netsh.exe=n" lumvora_wine "$dir/bench/lumvora_bench_hotspot.exe" "$runs" | tag
echo "== help document" | tag
lumvora_wine "$dir/bench/lumvora_bench_help.exe" "$runs" | tag
echo "== status window" | tag
lumvora_wine "$dir/bench/lumvora_bench_status.exe" "$runs" | tag
