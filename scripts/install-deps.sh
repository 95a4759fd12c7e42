#!/usr/bin/env bash
# Installs, on Debian 12 as root, whatever the build and the tests need and is not there yet.
# Safe to run again: packages already installed are skipped without touching the network.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  arch_added=1
fi

for p in cmake make g++ googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 \
         xvfb xdotool imagemagick unzip \
         fonts-wqy-zenhei fonts-wine fp-utils chromium libstb-dev \
         clang libclang-rt-14-dev; do
  have "$p" || need+=("$p")
done

if [ "${#need[@]}" -gt 0 ] || [ -n "${arch_added:-}" ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "install-deps: missing packages (${need[*]}); run this as root" >&2
    exit 1
  fi
  echo "install-deps: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need[@]}"
fi
