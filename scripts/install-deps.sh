#!/usr/bin/env bash
# Brings what a fresh Debian 12 machine lacks to build and test the setup.
# Idempotent: it checks each piece first, so a second run takes seconds.
#
# The product is a 32-bit program; Wine runs its 32-bit side through Wine's
# 32-bit Linux loader. Where the host runs 32-bit code the archive's
# wine32:i386 serves. Where it runs none (the kernel's IA-32 emulation off),
# or wine32:i386 can't be installed, scripts/private-wine32.sh sets up a
# private 32-bit Wine from Debian packages, run through qemu-i386, in a
# folder outside the clone (BCSETUP_WINE32_DIR, default
# /var/cache/bcsetup/wine32); nothing of it is installed system-wide.
#
# It gets through a day on which the package archive is out of step: an index
# that fails to download is retried, then named and left out; wine32:i386 is
# installed on its own, and when it cannot be, that is said plainly, the
# reason is kept (BCSETUP_DEPS_STATE_DIR/wine32-unavailable, default
# /var/lib/bcsetup) and the private 32-bit Wine serves instead. It fails only
# when a package that is really needed cannot be installed, or the 32-bit
# Wine cannot be had either way, and names it.
#
# BCSETUP_APT_TRIES and BCSETUP_APT_RETRY_SECONDS set the retries of
# apt-get update (3 tries, 10 s apart). BCSETUP_HOST_RUNS_32BIT=yes|no
# overrides the host's answer, and BCSETUP_PRIVATE_WINE32 names the script
# that sets up the private Wine, to try these decisions.
set -euo pipefail

state_dir="${BCSETUP_DEPS_STATE_DIR:-/var/lib/bcsetup}"
wine32_note="$state_dir/wine32-unavailable"
tries="${BCSETUP_APT_TRIES:-3}"
retry_seconds="${BCSETUP_APT_RETRY_SECONDS:-10}"

root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-arch.sh"
private_wine32="${BCSETUP_PRIVATE_WINE32:-$root/scripts/private-wine32.sh}"
say() { echo "install-deps: $*" >&2; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
is_root() { [ "$(id -u)" -eq 0 ]; }

# Everything but the 32-bit Wine. All of it is needed: a missing one fails.
packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 xvfb x11-utils
  fonts-ipafont-gothic fonts-wine locales googletest cmake make
  clang clang-format libclang-rt-14-dev libssl-dev python3-pefile xorriso imagemagick osslsigncode openssl
)
wine32=wine32:i386

need=()
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done
# The archive's 32-bit Wine only where 32-bit code runs: elsewhere it could
# start nothing, and its loader would mislead /usr/bin/wine.
want_wine32=0
host_runs_32bit=1
bc_host_runs_32bit || host_runs_32bit=0
[ "$host_runs_32bit" -eq 1 ] && ! have_pkg "$wine32" && want_wine32=1

failed_indexes=""
apt_said=""
# apt_update: runs apt-get update up to $tries times. An index that still
# fails is named and left out; apt then works with the indexes it has.
apt_update() {
  local try out
  for ((try = 1; try <= tries; try++)); do
    if out="$(apt-get update -qq 2>&1)"; then
      return 0
    fi
    if [ "$try" -lt "$tries" ]; then
      say "apt-get update failed (try $try of $tries); trying again in $retry_seconds s"
      sleep "$retry_seconds"
    fi
  done
  failed_indexes="$(printf '%s\n' "$out" | sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p')"
  if [ -n "$failed_indexes" ]; then
    say "these package indexes could not be downloaded after $tries tries; going on without them:"
    printf '%s\n' "$failed_indexes" | sed 's/^/  /' >&2
  else
    say "apt-get update failed after $tries tries; going on with the indexes it has:"
    printf '%s\n' "$out" | sed 's/^/  /' >&2
  fi
}

# apt_install PACKAGE...: true when apt installed them all. Its complaint
# (the lines of E: and of unmet dependencies) is left in $apt_said.
apt_install() {
  local out
  if out="$(DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" 2>&1)"; then
    apt_said=""
    return 0
  fi
  apt_said="$(printf '%s\n' "$out" | grep -E '^E: |Depends:|but it is not' | head -n 8)"
  [ -n "$apt_said" ] || apt_said="$(printf '%s\n' "$out" | tail -n 3)"
  return 1
}

if [ "$want_wine32" -eq 1 ] && ! is_root; then
  say "the 32-bit Wine ($wine32) is not installed and only root can install it; the private 32-bit Wine serves instead"
  want_wine32=0
fi
if [ "${#need[@]}" -gt 0 ] && ! is_root; then
  say "missing packages (${need[*]}); run as root"
  exit 1
fi

# The i386 architecture first, so that one update brings every index.
wine32_reason=""
if [ "$want_wine32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386 || wine32_reason="dpkg --add-architecture i386 failed"
fi
if [ "${#need[@]}" -gt 0 ] || [ "$want_wine32" -eq 1 ]; then
  apt_update
fi

if [ "${#need[@]}" -gt 0 ] && ! apt_install "${need[@]}"; then
  # Find which ones: one at a time, so every package that can be installed is.
  missing=()
  for p in "${need[@]}"; do apt_install "$p" || missing+=("$p"); done
  if [ "${#missing[@]}" -gt 0 ]; then
    say "these needed packages could not be installed: ${missing[*]}"
    printf '%s\n' "$apt_said" | sed 's/^/  /' >&2
    exit 1
  fi
fi

if [ "$want_wine32" -eq 1 ]; then
  if [ -z "$wine32_reason" ] && ! apt_install "$wine32"; then
    wine32_reason="$(printf '%s\n' "$apt_said" | grep -m1 '^E: ' | sed 's/^E: //')"
    wine32_reason="${wine32_reason%.}"
    [ -n "$wine32_reason" ] || wine32_reason="apt-get install $wine32 failed"
    if [ -n "$failed_indexes" ]; then
      wine32_reason="$wine32_reason; index not downloaded: $(printf '%s\n' "$failed_indexes" | head -n 1)"
    fi
  fi
  if [ -n "$wine32_reason" ]; then
    say "the 32-bit Wine ($wine32) could not be installed: $wine32_reason"
    [ -n "$apt_said" ] && printf '%s\n' "$apt_said" | sed 's/^/  /' >&2
    say "everything else is installed; the private 32-bit Wine serves instead"
    mkdir -p "$state_dir"
    printf '%s\n' "$wine32_reason" > "$wine32_note"
  fi
fi
have_pkg "$wine32" && rm -f "$wine32_note"

# The private 32-bit Wine wherever the archive's can't serve.
if [ "$host_runs_32bit" -eq 0 ] || ! have_pkg "$wine32"; then
  if [ "$host_runs_32bit" -eq 0 ]; then
    why="this host runs no 32-bit code"
  else
    why="wine32:i386 is not installed"
  fi
  if ! "$private_wine32"; then
    say "$why, and the private 32-bit Wine could not be set up; no i686 program can start under Wine here"
    exit 1
  fi
  say "$why: the 32-bit side runs through the private 32-bit Wine under qemu-i386 ($(bc_private_wine32_dir))"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if ! is_root; then
    say "the ja_JP.UTF-8 locale is missing; run as root"
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
exit 0
