#!/usr/bin/env bash
# Builds everything: the host tools natively, then the Win32 program, its
# stand-ins and tests with mingw-w64.   build.sh [BUILD_DIR] [extra cmake args for the Win32 build]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
shift || true
jobs="${BCSETUP_JOBS:-$(nproc)}"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/host" -j "$jobs"

cmake -S "$root" -B "$build/win" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DBCSETUP_HOST_TOOLS_DIR="$build/host/tools" "$@" >/dev/null
cmake --build "$build/win" -j "$jobs"
