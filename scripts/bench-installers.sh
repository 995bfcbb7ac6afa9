#!/usr/bin/env bash
# Runs the installer benchmark under Wine with the stand-ins: RunAndWait's
# round trip, the companion runs and the main run.
#   bench-installers.sh [BUILD_DIR] [ROUNDS]
# Uses the build tree's own Wine prefix (made if missing) and a display of
# its own (the installer stand-in shows a window).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
rounds="${2:-5}"

[ -f "$build/win/CMakeCache.txt" ] || "$root/scripts/build.sh" "$build"
cmake --build "$build/win" --target installer_benchmark -j "$(nproc)" >/dev/null
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
prefix="$build/win/wine/en"
[ -f "$prefix/system.reg" ] || "$root/scripts/wine-prefix.sh" "$prefix"
pidfile="$(mktemp)"
DISPLAY="$("$root/scripts/xvfb.sh" "$pidfile")"
export DISPLAY
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; kill "$(cat "$pidfile")" 2>/dev/null; rm -f "$pidfile"' EXIT
cd "$build/win/bin"
"$build/win/wine-run.sh" installer_benchmark.exe "$rounds"
