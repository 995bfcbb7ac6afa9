#!/usr/bin/env bash
# Runs the package benchmark under Wine: payload extraction and unpacking
# beside CopyFileA of the same bytes, and the peak working set for a small
# and a big package.   bench-package.sh [BUILD_DIR] [BIG_PACKAGE_MB]
# Uses the build tree's own Wine prefix (made if missing); needs no display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
big_mb="${2:-1024}"

[ -f "$build/win/CMakeCache.txt" ] || "$root/scripts/build.sh" "$build"
cmake --build "$build/win" --target package_benchmark -j "$(nproc)" >/dev/null
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
prefix="$build/win/wine/en"
[ -f "$prefix/system.reg" ] || "$root/scripts/wine-prefix.sh" "$prefix"
cd "$build/win/bin"
"$build/win/wine-run.sh" package_benchmark.exe "$big_mb"
