#!/usr/bin/env bash
# Installs, on Debian 12 as root, whatever the build and the tests need and is not there yet.
# Safe to run again: packages already installed are skipped without touching the network.
#
# Package mirrors fall out of step for hours at a time, so neither a package index that fails to download
# nor a first failed install ends the set-up: the install is tried once more preferring the main release's
# versions (-t bookworm), which keeps multi-arch twins in step when one architecture's security index is
# missing. The i386 part (32-bit Wine) is installed only where the kernel runs 32-bit code, and a failure
# of that part alone leaves the 64-bit set-up standing: it is written to build/install-deps-i386.failed,
# which the test command reports.
#
# The MinGW build compiles the QR encoder (Nayuki's QR Code generator) from the upstream tarball of Debian's
# source package qr-code-generator, fetched once into build/deps/ with an apt set-up of its own there (the
# system's sources and lists are left as they are); once its two files are extracted, no network is used.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/runs-32bit.sh"
i386_failed="$root/build/install-deps-i386.failed"

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake make g++ googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64
          xvfb xdotool imagemagick unzip
          fonts-wqy-zenhei fonts-wine fp-utils chromium libstb-dev
          clang libclang-rt-14-dev python3 libqrcodegencpp-dev zbar-tools)
i386_packages=()
if lumvora_kernel_runs_32bit; then
  # LUMVORA_I386_PACKAGES replaces the list, to try the path where the archive cannot give it.
  read -r -a i386_packages <<<"${LUMVORA_I386_PACKAGES:-wine32:i386}"
else
  echo "install-deps: this machine's kernel runs no 32-bit code, so 32-bit Wine (wine32:i386) is not installed"
fi

# Installs the packages that are missing; returns once they are all there, fails where the 64-bit part
# cannot be had.
install_packages() {
need=() need_i386=()
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done
for p in "${i386_packages[@]}"; do have "$p" || need_i386+=("$p"); done
add_arch=
if [ "${#i386_packages[@]}" -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then add_arch=1; fi

if [ "${#need[@]}" -eq 0 ] && [ "${#need_i386[@]}" -eq 0 ] && [ -z "$add_arch" ]; then
  rm -f "$i386_failed"
  return 0
fi
if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing packages (${need[*]} ${need_i386[*]}); run this as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
trap 'echo "install-deps: set-up took $SECONDS s"' EXIT
[ -n "$add_arch" ] && dpkg --add-architecture i386

log=$(mktemp)
trap 'rm -f "$log"; echo "install-deps: set-up took $SECONDS s"' EXIT

# An index that fails to download is reported and left out; the install decides whether it mattered.
if ! apt-get update -q >"$log" 2>&1; then
  echo "install-deps: warning: apt-get update could not download every package index; going on without these:"
  grep -E '^(Err:|W: Failed to fetch|E: )' "$log" | sed 's/^/  /' || sed 's/^/  /' "$log" | tail -n 5
fi

# Installs the packages given, then once more preferring the main release's versions. On failure it
# prints what apt said about the packages that could not be installed, and fails.
install() {
  local what=$1; shift
  echo "install-deps: installing $*"
  if apt-get install -y -q --no-install-recommends "$@" >"$log" 2>&1; then return 0; fi
  echo "install-deps: the install of $what failed; trying once more with the main release's versions (-t bookworm)"
  if apt-get install -y -q --no-install-recommends -t bookworm "$@" >"$log" 2>&1; then return 0; fi
  echo "install-deps: could not install $what ($*). apt says:" >&2
  # The unmet dependencies name each package and what it could not get; the E: lines say why.
  sed -n '/unmet dependencies/,$p' "$log" | grep -vE '^(Reading|Building|  Need to get)' | sed 's/^/  /' >&2 ||
    true
  grep -q 'unmet dependencies' "$log" || tail -n 15 "$log" | grep -vE '^(Reading|Building)' | sed 's/^/  /' >&2 || true
  return 1
}

if [ "${#need_i386[@]}" -gt 0 ]; then
  # One transaction for both, as the multi-arch libraries of both architectures must be the same versions.
  if install "the 64-bit and 32-bit packages" "${need[@]}" "${need_i386[@]}"; then
    rm -f "$i386_failed"
    return 0
  fi
  if [ "${#need[@]}" -gt 0 ]; then
    install "the packages without 32-bit Wine" "${need[@]}" || exit 1
  fi
  mkdir -p "$(dirname "$i386_failed")"
  { echo "32-bit Wine (${need_i386[*]}) could not be installed:"
    if grep -q 'unmet dependencies' "$log"; then sed -n '/unmet dependencies/,$p' "$log" | head -n 20
    else grep '^E: ' "$log" | head -n 5 || true; fi; } > "$i386_failed"
  echo "install-deps: warning: 32-bit Wine could not be installed; the 64-bit flavour is tested alone" \
       "(see $i386_failed)" >&2
  return 0
fi
if [ "${#need[@]}" -gt 0 ]; then install "the packages" "${need[@]}" || exit 1; fi
rm -f "$i386_failed"
}

orig_tarball() { ls "$1"/qr-code-generator_*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -n 1 || true; }

# Extracts cpp/qrcodegen.cpp and cpp/qrcodegen.hpp of qr-code-generator's upstream tarball into
# build/deps/qrcodegen, downloading the tarball first where it is not in build/deps/qr-code-generator.
fetch_qr_sources() {
  local deps="$root/build/deps"
  local out="$deps/qrcodegen" get="$deps/qr-code-generator" apt_dir="$deps/apt" tarball qlog tmp
  [ -f "$out/qrcodegen.cpp" ] && [ -f "$out/qrcodegen.hpp" ] && return 0
  qlog=$(mktemp)
  tarball=$(orig_tarball "$get")
  if [ -z "$tarball" ]; then
    echo "install-deps: downloading the QR encoder's sources (Debian source package qr-code-generator)"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$get"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
         "http://deb.debian.org/debian bookworm main" >"$apt_dir/sources.list"
    local opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
                -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
    apt-get "${opts[@]}" update -q >"$qlog" 2>&1 || true
    # apt fails when any of the package's files is missing: only the upstream tarball is needed.
    (cd "$get" && apt-get "${opts[@]}" source --download-only -q qr-code-generator) >>"$qlog" 2>&1 || true
    tarball=$(orig_tarball "$get")
    if [ -z "$tarball" ]; then
      echo "install-deps: could not download the upstream tarball of qr-code-generator" \
           "(qr-code-generator_*.orig.tar.*) into $get; the MinGW build needs its cpp/qrcodegen.cpp. apt says:" >&2
      grep -E '^(Err:|E: |W: )' "$qlog" | sed 's/^/  /' >&2 || tail -n 10 "$qlog" | sed 's/^/  /' >&2
      rm -f "$qlog"
      exit 1
    fi
  fi
  rm -f "$qlog"
  tmp=$(mktemp -d)
  if ! tar -xf "$tarball" -C "$tmp" --wildcards --no-anchored 'cpp/qrcodegen.cpp' 'cpp/qrcodegen.hpp' ||
     [ "$(ls "$tmp"/*/cpp/qrcodegen.cpp "$tmp"/*/cpp/qrcodegen.hpp 2>/dev/null | wc -l)" != 2 ]; then
    echo "install-deps: $tarball could not be read or holds no cpp/qrcodegen.cpp and cpp/qrcodegen.hpp" \
         "(delete it to download it again)" >&2
    rm -rf "$tmp"
    exit 1
  fi
  # Both files appear together or not at all, so an interrupted run is taken up again.
  rm -rf "$out.part" && mkdir -p "$out.part"
  cp "$tmp"/*/cpp/qrcodegen.cpp "$tmp"/*/cpp/qrcodegen.hpp "$out.part/"
  rm -rf "$tmp" "$out" && mv "$out.part" "$out"
  echo "install-deps: the QR encoder's sources are in $out (from $(basename "$tarball"))"
}

install_packages
fetch_qr_sources
