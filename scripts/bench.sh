#!/usr/bin/env bash
# The benchmarks (not tests, not part of `make test`): builds the target
# `benchmarks` (bench/) and runs each under Wine, printing its figures.
#   bench.sh [BUILD_DIR] [package[=BIG_PACKAGE_MB]] [installers[=ROUNDS]] [peers[=ROUNDS]]
# With none named, runs all three with their defaults:
#  - package (1024): payload extraction and unpacking beside CopyFileA of the
#    same bytes, and the peak working set for a small and a big package. In
#    the build tree's own Wine prefix (made if missing); needs no display.
#  - installers (5 rounds): RunAndWait's round trip, the companion runs and
#    the main run, with the stand-ins.
#  - peers (15 rounds, at least 15): the setup beside its peer, an NSIS
#    installer (Debian's makensis, installed if missing) that stores the same
#    files uncompressed and does the same work silently: a fresh temporary
#    folder, the main package's files written, setup.exe run and waited for,
#    DivXPro.exe /S /DIVXLANG=JA and wmfdist.exe /Q written, run, waited for
#    and deleted, the folder removed. Both run alternately, in shuffled
#    order, each also with its padding files cut to 1 KiB (payload cost =
#    full - tiny), and a probe built from the setup's own code times its steps.
# installers and peers each run in a Wine prefix of their own, removed at the
# end (the runs write the product key and the temporary folder), on a
# display of their own (the installer stand-in shows a window).
# Runs the i686 build, as the tests do (BCSETUP_BENCH_BUILD=x86_64 runs the
# 64-bit build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
is_benchmark() { [[ "$1" =~ ^(package|installers|peers)(=.*)?$ ]]; }
build="$root/build"
if [ $# -gt 0 ] && ! is_benchmark "$1"; then
  build="$1"
  shift
fi
build="$(realpath -m "$build")"
[ $# -gt 0 ] || set -- package installers peers
for named in "$@"; do
  is_benchmark "$named" || { echo "bench.sh: no benchmark '$named' (package, installers, peers)" >&2; exit 2; }
done

. "$root/scripts/wine-arch.sh"
bc_bench_build
win="$(bc_win_dir "$build" "$BC_ARCH")"
[ -f "$win/CMakeCache.txt" ] || BCSETUP_BUILDS="$BC_BUILDS" "$root/scripts/build.sh" "$build"
cmake --build "$win" --target benchmarks -j "${BCSETUP_JOBS:-$(nproc)}" >/dev/null
bin="$win/bin"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8

# Each benchmark runs in a subshell of its own: its prefix, display and
# environment end with it. The first that fails ends the run.

bench_package() (
  big_mb="${1:-1024}"
  prefix="$win/wine/en"
  [ -f "$prefix/system.reg" ] || "$root/scripts/wine-prefix.sh" "$prefix"
  cd "$bin"
  "$win/wine-run.sh" package_benchmark.exe "$big_mb"
)

bench_installers() (
  rounds="${1:-5}"
  prefix="$win/wine/bench-installers.$$"
  pidfile="$(mktemp)"
  trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; kill "$(cat "$pidfile")" 2>/dev/null; rm -rf "$pidfile" "$prefix"' EXIT
  "$root/scripts/wine-prefix.sh" "$prefix"
  DISPLAY="$("$root/scripts/xvfb.sh" "$pidfile")"
  # No sound driver: nothing plays, and the machine may have no card.
  export DISPLAY BCSETUP_WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
  cd "$bin"
  "$win/wine-run.sh" installer_benchmark.exe "$rounds"
)

bench_peers() (
  rounds="${1:-15}"
  [ "$rounds" -ge 15 ] || { echo "peers: at least 15 rounds" >&2; exit 2; }
  if ! command -v makensis >/dev/null; then
    if [ "$(id -u)" = 0 ]; then apt-get install -y nsis >/dev/null; else sudo apt-get install -y nsis >/dev/null; fi
  fi
  scratch="$(mktemp -d)"
  prefix="$win/wine/bench-peers.$$"
  pidfile="$scratch/xvfb.pid"
  cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null
    rm -rf "$prefix" "$scratch"
  }
  trap cleanup EXIT

  # The NSIS installers, with the same files as the setup's payloads.
  peer="$win/bench/peer"
  winpath() { local p="$1"; echo "Z:${p//\//\\}"; }
  for kind in full tiny; do
    {
      # The peer is built for the processor the setup runs as here.
      if [ "$BC_ARCH" = x86_64 ]; then echo 'Target amd64-unicode'; else echo 'Unicode true'; fi
      echo 'SetCompress off'
      echo 'SilentInstall silent'
      echo 'RequestExecutionLevel admin'
      echo "OutFile \"$scratch/nsis-$kind.exe\""
      echo 'Section'
      echo '  DeleteRegValue HKLM "Software\Korvane\Brixelcast" "RequireReboot"'
      echo '  DeleteRegValue HKLM "Software\Korvane\Brixelcast" "CANCELED"'
      echo '  ReadRegStr $1 HKLM "Software\Korvane\Brixelcast" "Path"'
      echo '  WriteRegStr HKLM "Software\Korvane\Brixelcast" "ProgramsPath" "$1"'
      echo '  GetTempFileName $0'
      echo '  Delete $0'
      echo '  CreateDirectory $0'
      echo '  SetOutPath $0'
      for file in "$peer/$kind"/*; do echo "  File \"$file\""; done
      echo '  ExecWait "$0\setup.exe"'
      echo "  File \"$bin/DivXPro.exe\""
      echo '  ExecWait "$\"$0\DivXPro.exe$\" /S /DIVXLANG=JA"'
      echo '  Delete "$0\DivXPro.exe"'
      echo "  File \"$bin/wmfdist.exe\""
      echo '  ExecWait "$\"$0\wmfdist.exe$\" /Q"'
      echo '  Delete "$0\wmfdist.exe"'
      echo '  SetOutPath $TEMP'
      echo '  RMDir /r $0'
      echo 'SectionEnd'
    } > "$scratch/$kind.nsi"
    makensis -V1 "$scratch/$kind.nsi" >/dev/null
  done

  # Program size beyond what it stores.
  bytes() { stat -c %s "$@" | awk '{ s += $1 } END { print s }'; }
  companions="$(bytes "$bin/DivXPro.exe" "$bin/wmfdist.exe")"
  ours=$(( $(bytes "$bin/peer-full/BCSetup.exe") - $(bytes "$peer/full.pk24") - companions ))
  theirs=$(( $(bytes "$scratch/nsis-full.exe") - $(bytes "$peer/full"/*) - companions ))

  "$root/scripts/wine-prefix.sh" "$prefix"
  DISPLAY="$("$root/scripts/xvfb.sh" "$pidfile")"
  # No sound driver: nothing plays, and the machine may have no card.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
  export DISPLAY BCSETUP_WINEPREFIX="$prefix" BCSETUP_SETUP_ACTION=install BCSETUP_SETUP_WINDOW=none
  # In the registry view of the build run: the i686 programs (the setup and
  # the 32-bit NSIS peer) read the 32-bit one.
  view=/reg:64
  [ "$BC_ARCH" = x86_64 ] || view=/reg:32
  for name in Path ProgramsPath; do
    WINEPREFIX="$prefix" "$BC_WINE" reg add 'HKLM\Software\Korvane\Brixelcast' /v "$name" /d 'C:\Brixelcast\' /f \
      "$view" >/dev/null 2>&1
  done
  mkdir -p "$scratch/work"
  cd "$bin"
  echo "$BC_ARCH under Wine ($BC_ARCH_WHY); NSIS $(makensis -VERSION)"
  "$win/wine-run.sh" peer_benchmark.exe "$rounds" "$(winpath "$scratch/work")\\" \
    "$(winpath "$bin/peer-full/BCSetup.exe") /Silent /NoWaitDlg" \
    "$(winpath "$bin/peer-tiny/BCSetup.exe") /Silent /NoWaitDlg" \
    "$(winpath "$scratch/nsis-full.exe")" "$(winpath "$scratch/nsis-tiny.exe")" \
    "$(winpath "$bin/peer-full/phase_probe.exe")"
  awk -v a="$ours" -v b="$theirs" -v arch="$BC_ARCH" 'BEGIN { printf "program size beyond the payloads (%s): %.0f KiB, NSIS %.0f KiB, ratio %.2f\n", arch, a / 1024, b / 1024, a / b }'
)

for named in "$@"; do
  name="${named%%=*}"
  value=""
  [ "$name" = "$named" ] || value="${named#*=}"
  echo "== $name benchmark, $BC_ARCH build"
  "bench_$name" $value
done
