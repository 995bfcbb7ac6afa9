#!/usr/bin/env bash
# Builds everything: the host tools natively, then the Win32 program, its
# stand-ins and tests with mingw-w64.   build.sh [BUILD_DIR] [extra cmake args for the Win32 build]
# The Win32 side is built for i686 (the product) into BUILD_DIR/win. With
# BCSETUP_BUILDS="i686 x86_64" it is also built for x86_64 into
# BUILD_DIR/win64, with the same options, to keep the code 64-bit clean;
# the checks of the program file there still read the i686 product.
# BCSETUP_HOST_TOOLS_DIR=<host build>/tools takes the host tools (pk24) from
# an existing host build instead of building them in BUILD_DIR/host, and
# BCSETUP_TARGET=<target> builds only that target of the Win32 side (the
# build tests use both to make just BCSetup.exe in a fresh folder).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
shift || true
jobs="${BCSETUP_JOBS:-$(nproc)}"
. "$root/scripts/wine-arch.sh"
builds="${BCSETUP_BUILDS:-i686}"
case " $builds " in
  " i686 "|" i686 x86_64 ") ;;
  *) echo "BCSETUP_BUILDS must be \"i686\" or \"i686 x86_64\", not '$builds'" >&2; exit 1 ;;
esac

# The test and run scripts install first (the host decides the architecture
# by what got installed) and say so with BCSETUP_DEPS_CHECKED=1.
[ "${BCSETUP_DEPS_CHECKED:-}" = 1 ] || "$root/scripts/install-deps.sh"

tools="${BCSETUP_HOST_TOOLS_DIR:-}"
if [ -z "$tools" ]; then
  cmake -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/host" -j "$jobs"
  tools="$build/host/tools"
fi

# build_win ARCH [cmake args]
build_win() {
  local arch="$1"; shift
  local dir; dir="$(bc_win_dir "$build" "$arch")"
  cmake -S "$root" -B "$dir" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DBCSETUP_HOST_TOOLS_DIR="$tools" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" ${BCSETUP_TARGET:+--target "$BCSETUP_TARGET"}
}

build_win i686 "$@"
if [ "$builds" = "i686 x86_64" ]; then
  build_win x86_64 -DBCSETUP_PRODUCT_BINARY_DIR="$(bc_win_dir "$build" i686)" "$@"
fi
