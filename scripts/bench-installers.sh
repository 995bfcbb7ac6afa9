#!/usr/bin/env bash
# Runs the installer benchmark under Wine with the stand-ins: RunAndWait's
# round trip, the companion runs and the main run.
#   bench-installers.sh [BUILD_DIR] [ROUNDS]
# Runs in a Wine prefix of its own, removed at the end (the runs write the
# product key and the temporary folder), on a display of its own (the
# installer stand-in shows a window).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
rounds="${2:-5}"

# The i686 build, as the tests run it (BCSETUP_BENCH_BUILD=x86_64 runs the 64-bit build).
. "$root/scripts/wine-arch.sh"
bc_bench_build
win="$(bc_win_dir "$build" "$BC_ARCH")"
[ -f "$win/CMakeCache.txt" ] || BCSETUP_BUILDS="$BC_BUILDS" "$root/scripts/build.sh" "$build"
cmake --build "$win" --target installer_benchmark -j "$(nproc)" >/dev/null
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
prefix="$win/wine/bench-installers.$$"
pidfile="$(mktemp)"
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; kill "$(cat "$pidfile")" 2>/dev/null; rm -rf "$pidfile" "$prefix"' EXIT
"$root/scripts/wine-prefix.sh" "$prefix"
DISPLAY="$("$root/scripts/xvfb.sh" "$pidfile")"
# No sound driver: nothing plays, and the machine may have no card.
export DISPLAY BCSETUP_WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
cd "$win/bin"
"$win/wine-run.sh" installer_benchmark.exe "$rounds"
