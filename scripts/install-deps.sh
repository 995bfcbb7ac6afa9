#!/usr/bin/env bash
# Brings what a fresh Debian 12 machine lacks to build and test the setup.
# Idempotent: it checks each piece first, so a second run takes seconds.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine32:i386 wine64 xvfb x11-utils
  fonts-ipafont-gothic fonts-wine locales googletest cmake make
  clang libclang-rt-14-dev python3-pefile xorriso imagemagick osslsigncode openssl
)
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done

if [ "${#need[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages (${need[*]}); run as root" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: the ja_JP.UTF-8 locale is missing; run as root" >&2
    exit 1
  fi
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'en_US.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'en_US.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
