#!/usr/bin/env bash
# Runs the package benchmark under Wine: payload extraction and unpacking
# beside CopyFileA of the same bytes, and the peak working set for a small
# and a big package.   bench-package.sh [BUILD_DIR] [BIG_PACKAGE_MB]
# Uses the build tree's own Wine prefix (made if missing); needs no display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
big_mb="${2:-1024}"

# The i686 build, as the tests run it (BCSETUP_BENCH_BUILD=x86_64 runs the 64-bit build).
. "$root/scripts/wine-arch.sh"
bc_bench_build
win="$(bc_win_dir "$build" "$BC_ARCH")"
[ -f "$win/CMakeCache.txt" ] || BCSETUP_BUILDS="$BC_BUILDS" "$root/scripts/build.sh" "$build"
cmake --build "$win" --target package_benchmark -j "$(nproc)" >/dev/null
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
prefix="$win/wine/en"
[ -f "$prefix/system.reg" ] || "$root/scripts/wine-prefix.sh" "$prefix"
cd "$win/bin"
"$win/wine-run.sh" package_benchmark.exe "$big_mb"
