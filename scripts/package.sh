#!/usr/bin/env bash
# Builds both flavours of Lumvora.exe in Release and packages them with CPack:
# build/dist/Lumvora-<version>-win32.zip and -win64.zip (Lumvora.exe and 说明.txt each) and build/dist/SHA256SUMS
# (the zips, and the Lumvora.exe inside each as extracted into a folder named after its zip). Everything is
# built twice, in two temporary directories, and must come out byte for byte the same
# (scripts/reproducible-build.sh). Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
start=$SECONDS
rm -rf build/dist
bash scripts/reproducible-build.sh build/dist
cd build/dist
for zip in Lumvora-*.zip; do
  sha256sum "$zip"
  echo "$(unzip -p "$zip" Lumvora.exe | sha256sum | cut -d' ' -f1)  ${zip%.zip}/Lumvora.exe"
done > SHA256SUMS
cat SHA256SUMS
echo "packages in $root/build/dist ($((SECONDS - start)) s)"
