#!/usr/bin/env bash
# Runs the window's tests at 120, 144 and 192 DPI: the Win32 layer's window tests (font heights, the move to
# another DPI) and the end-to-end tests of measures, picture, progress strip and screenshots. They run in a
# Wine prefix of their own, set to each DPI in turn, so that the flavour's prefix stays at 96 DPI. Screenshots
# go to $LUMVORA_SCREENSHOTS-dpiN.
# Usage: run_at_dpis.sh 32|64 WIN32_TESTS_EXE E2E_EXE E2E_FILTER   (in the environment of the Wine tests)
set -euo pipefail
bits=$1 win32_tests=$2 e2e=$3 e2e_filter=$4
source "$(dirname "$0")/../scripts/wine-env.sh"
lumvora_flavour "$bits"
lumvora_dpi_prefix
lumvora_prefix
log=$(mktemp)
trap '"$LUMVORA_WINESERVER" -k 2>/dev/null || true; rm -f "$log"' EXIT
screenshots=${LUMVORA_SCREENSHOTS:-}
# A filter that names a test no longer there would drop it silently: count what runs.
expected=$(($(tr -cd ':' <<<"$e2e_filter" | wc -c) + 1))
status=0
for dpi in 120 144 192; do
  echo "== at $dpi DPI"
  lumvora_dpi "$dpi"
  export LUMVORA_EXPECTED_DPI=$dpi
  [ -n "$screenshots" ] && export LUMVORA_SCREENSHOTS="$screenshots-dpi$dpi"
  lumvora_wine "$win32_tests" --gtest_filter='MainWindowTest.*' || status=1
  lumvora_wine "$e2e" --gtest_filter="$e2e_filter" | tee "$log" || status=1
  grep -q "Running $expected tests" "$log" || { echo "FAILED: not the $expected tests of the filter"; status=1; }
done
exit $status
