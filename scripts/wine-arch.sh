# Which Windows processor the Win32 side is built and run for, and how Wine
# starts programs of it. Sourced (POSIX sh) by the build, test and run scripts
# and by each build tree's wine-run.sh.
#
# The product is a 32-bit program (i686). Debian's Wine runs 32-bit Windows
# code only through its 32-bit Linux loader, so a host whose kernel runs no
# 32-bit code (IA-32 emulation off) cannot start a single one; there the same
# sources are built for x86_64 and run under wine64 instead.

# True when this host runs 32-bit x86 Linux programs natively. Decided by
# trying one. An i386 binfmt handler (qemu-user) would start them too, but
# some hundred times too slowly for a test run: that counts as "no".
bc_host_runs_32bit() {
  for entry in /proc/sys/fs/binfmt_misc/*; do
    case "${entry##*/}" in register|status) continue ;; esac
    if grep -qs '^enabled' "$entry" && grep -qs '^interpreter .*qemu-i386' "$entry"; then
      return 1
    fi
  done
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# True when the 32-bit Wine (wine32:i386, its loader) is installed. On a day
# the package archive is out of step install-deps.sh may not get it; it then
# leaves the reason in BCSETUP_DEPS_STATE_DIR/wine32-unavailable.
bc_have_wine32() {
  [ -x "${BCSETUP_WINE32_LOADER:-/usr/lib/wine/wine}" ]
}

# Why the 32-bit Wine is missing, for the summaries.
bc_wine32_missing_why() {
  note="${BCSETUP_DEPS_STATE_DIR:-/var/lib/bcsetup}/wine32-unavailable"
  if [ -s "$note" ]; then
    echo "the 32-bit Wine could not be installed ($(head -n 1 "$note"))"
  else
    echo "the 32-bit Wine is not installed"
  fi
}

# bc_choose_arch VARIABLE: sets BC_ARCH (i686 or x86_64) and BC_ARCH_WHY.
# VARIABLE names the switch that may force the choice (BCSETUP_TEST_ARCH,
# BCSETUP_ARCH); unset, the host decides. Forcing i686 where the 32-bit
# Wine is missing fails: not one i686 test could start.
bc_choose_arch() {
  eval "forced=\${$1:-}"
  case "$forced" in
    i686)
      if ! bc_have_wine32; then
        echo "$1=i686, but $(bc_wine32_missing_why): no i686 program can start under Wine here" >&2
        return 1
      fi
      BC_ARCH=i686; BC_ARCH_WHY="forced by $1=i686" ;;
    x86_64)
      BC_ARCH="$forced"; BC_ARCH_WHY="forced by $1=$forced" ;;
    "")
      if ! bc_host_runs_32bit; then
        BC_ARCH=x86_64; BC_ARCH_WHY="this host runs no 32-bit code"
      elif ! bc_have_wine32; then
        BC_ARCH=x86_64; BC_ARCH_WHY="$(bc_wine32_missing_why)"
      else
        BC_ARCH=i686; BC_ARCH_WHY="this host runs 32-bit code"
      fi ;;
    *)
      echo "$1 must be i686 or x86_64, not '$forced'" >&2
      return 1 ;;
  esac
}

# bc_wine_env ARCH: sets BC_WINE to the Wine loader for ARCH and exports what
# it needs. /usr/bin/wine must not start 64-bit programs: it prefers the
# 32-bit loader whenever that file exists, even where it cannot run.
bc_wine_env() {
  case "$1" in
    x86_64)
      BC_WINE=/usr/lib/wine/wine64
      export WINELOADER=/usr/lib/wine/wine64 WINEARCH=win64 ;;
    *)
      BC_WINE=wine ;;
  esac
}

# bc_win_dir BUILD_DIR ARCH: the build tree of the Win32 side for ARCH.
bc_win_dir() {
  case "$2" in
    x86_64) echo "$1/win64" ;;
    *) echo "$1/win" ;;
  esac
}
