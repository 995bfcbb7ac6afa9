# How Wine runs the Win32 builds here. Sourced (POSIX sh) by the build, test
# and run scripts and by each build tree's wine-run.sh.
#
# The product is the i686 build, run as on 64-bit Windows: a 32-bit program
# in a 64-bit prefix (WoW64: Program Files (x86), SysWOW64, the registry's
# Wow6432Node). The 64-bit side is always the host's wine64. Its 32-bit
# processes need Wine's 32-bit loader, which runs either
#  - natively: the host runs 32-bit code and the archive's wine32:i386 is
#    installed, or
#  - emulated: a private 32-bit Wine set up by scripts/private-wine32.sh,
#    started through qemu-i386 (a host whose kernel runs no 32-bit code, or
#    on which wine32:i386 can't be installed).
# The x86_64 build of the same sources runs in the same kind of prefix; it
# keeps the code 64-bit clean and stands in for nothing.

# Where the private 32-bit Wine lives (outside the clone, shared by clones).
bc_private_wine32_dir() {
  echo "${BCSETUP_WINE32_DIR:-/var/cache/bcsetup/wine32}"
}

# True when this host runs 32-bit x86 Linux programs natively. Decided by
# trying: the i386 dynamic loader where it is installed (covering it makes a
# host look like one without 32-bit code, see without-ia32.sh), and always a
# static i386 program of 93 bytes that only calls exit, which needs no i386
# package. An i386 binfmt handler (qemu-user) would start them too, but some
# hundred times too slowly for Wine's prefix set-up: that counts as "no".
# BCSETUP_HOST_RUNS_32BIT=yes|no answers instead, to try the decisions.
bc_host_runs_32bit() {
  case "${BCSETUP_HOST_RUNS_32BIT:-}" in yes) return 0 ;; no) return 1 ;; esac
  for entry in /proc/sys/fs/binfmt_misc/*; do
    case "${entry##*/}" in register|status) continue ;; esac
    if grep -qs '^enabled' "$entry" && grep -qs '^interpreter .*qemu-i386' "$entry"; then
      return 1
    fi
  done
  if [ -e /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    return 1
  fi
  probe="$(mktemp "${TMPDIR:-/tmp}/bc-i386-probe.XXXXXX")" || return 1
  # ELF32 header, one PT_LOAD of the whole file at 0x08048000, and the code
  # at 0x08048054: mov eax, 1; xor ebx, ebx; int 0x80 (exit(0)).
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000' >>"$probe"
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' >>"$probe"
  printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000' >>"$probe"
  printf '\270\001\000\000\000\061\333\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  ran=$?
  rm -f "$probe"
  [ "$ran" -eq 0 ]
}

# True when the archive's 32-bit Wine (wine32:i386, its loader) is installed.
bc_have_system_wine32() {
  [ -x "${BCSETUP_WINE32_LOADER:-/usr/lib/wine/wine}" ]
}

# True when the private 32-bit Wine is set up and complete.
bc_have_private_wine32() {
  [ -f "$(bc_private_wine32_dir)/ready" ]
}

# bc_wine32_route: sets BC_WINE32 to native, emulated or missing, and
# BC_WINE32_WHY to the reason, for the summaries.
bc_wine32_route() {
  if bc_host_runs_32bit && bc_have_system_wine32; then
    BC_WINE32=native; BC_WINE32_WHY="this host runs 32-bit code and has wine32"
  elif bc_have_private_wine32; then
    BC_WINE32=emulated
    if bc_host_runs_32bit; then
      # install-deps.sh keeps apt's reason there.
      note="${BCSETUP_DEPS_STATE_DIR:-/var/lib/bcsetup}/wine32-unavailable"
      BC_WINE32_WHY="wine32:i386 could not be installed"
      [ -s "$note" ] && BC_WINE32_WHY="$BC_WINE32_WHY ($(head -n 1 "$note"))"
      BC_WINE32_WHY="$BC_WINE32_WHY; the private 32-bit Wine under qemu-i386"
    else
      BC_WINE32_WHY="this host runs no 32-bit code; the private 32-bit Wine under qemu-i386"
    fi
  else
    BC_WINE32=missing
    if bc_host_runs_32bit; then
      BC_WINE32_WHY="neither wine32:i386 nor the private 32-bit Wine is installed (run scripts/install-deps.sh)"
    else
      BC_WINE32_WHY="this host runs no 32-bit code and the private 32-bit Wine is not set up (run scripts/install-deps.sh)"
    fi
  fi
}

# bc_wine_env: sets BC_WINE to the wine64 that runs both builds in a 64-bit
# prefix and exports what it needs; BC_WINE32 and BC_WINE32_WHY as above.
# /usr/bin/wine must not be used: it prefers the 32-bit loader whenever
# that file exists, and would make a 32-bit prefix.
bc_wine_env() {
  bc_wine32_route
  case "$BC_WINE32" in
    emulated) BC_WINE="$(bc_private_wine32_dir)/host/lib/wine/wine64" ;;
    *) BC_WINE=/usr/lib/wine/wine64 ;;
  esac
  export WINELOADER="$BC_WINE" WINEARCH=win64
}

# bc_install_then_wine_env ROOT: installs what is missing (install-deps.sh),
# then sets up the route for 32-bit programs as bc_wine_env does; fails,
# saying why, when nothing can be installed or no i686 program can start.
bc_install_then_wine_env() {
  "$1/scripts/install-deps.sh" || { echo "INSTALL FAILED"; return 1; }
  export BCSETUP_DEPS_CHECKED=1
  bc_wine_env
  if [ "$BC_WINE32" = missing ]; then
    echo "No i686 program can start under Wine here: $BC_WINE32_WHY"; return 1
  fi
}

# How much longer than native a program takes to start and run here: the
# tests' own waits and CTest's time-outs are multiplied by it.
bc_time_scale() {
  case "$BC_WINE32" in
    emulated) echo "${BCSETUP_EMULATED_TIME_SCALE:-6}" ;;
    *) echo 1 ;;
  esac
}

# bc_win_dir BUILD_DIR ARCH: the build tree of the Win32 side for ARCH.
bc_win_dir() {
  case "$2" in
    x86_64) echo "$1/win64" ;;
    *) echo "$1/win" ;;
  esac
}

# bc_bench_build: the build a benchmark runs, BCSETUP_BENCH_BUILD: i686 (the
# product, the default) or x86_64. Sets BC_ARCH, BC_BUILDS (what build.sh
# must build for it) and BC_ARCH_WHY (for the figures' heading), and the
# Wine to run it.
bc_bench_build() {
  BC_ARCH="${BCSETUP_BENCH_BUILD:-i686}"
  case "$BC_ARCH" in
    i686) BC_BUILDS=i686 ;;
    x86_64) BC_BUILDS="i686 x86_64" ;;
    *) echo "BCSETUP_BENCH_BUILD must be i686 or x86_64, not '$BC_ARCH'" >&2; return 1 ;;
  esac
  bc_wine_env
  case "$BC_ARCH" in
    i686) BC_ARCH_WHY="64-bit prefix, WoW64, 32-bit side $BC_WINE32" ;;
    *) BC_ARCH_WHY="64-bit prefix" ;;
  esac
}
