#!/usr/bin/env bash
# Runs the benchmarks under Wine and prints their figures as ratios against references measured in the
# same run. Usage: bench/run.sh [runs]   (at least 10 runs each; default 15)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" --target lumvora_bench_startup lumvora_bench_hotspot lumvora_bench_help
source scripts/wine-env.sh 2>/dev/null
lumvora_prefix
lumvora_display
trap lumvora_stop_display EXIT

exe=build/mingw/bin/Lumvora.exe
echo "== Lumvora.exe"
echo "  size: $(stat -c %s "$exe") bytes"
echo "  imports: $(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ {print $3}' | tr '\n' ' ')"
echo "== start-up"
wine build/mingw/bench/lumvora_bench_startup.exe "${1:-15}"
echo "== hotspot command"
wine build/mingw/bench/lumvora_bench_hotspot.exe "${1:-15}"
echo "== help document"
wine build/mingw/bench/lumvora_bench_help.exe "${1:-15}"
