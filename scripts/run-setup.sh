#!/usr/bin/env bash
# Builds everything and starts the setup under Wine in a prefix of its own
# (build/run/wine). On the user's display when there is one; without a
# display it runs on a private Xvfb display and reports the outcome.
#   run-setup.sh [BUILD_DIR] [switches for the setup...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
shift || true

"$root/scripts/build.sh" "$build" || { echo "BUILD FAILED"; exit 1; }

prefix="$build/run/wine"
if [ ! -d "$prefix/drive_c" ]; then
  echo "Making the Wine prefix $prefix (about 20 s, once)..."
  "$root/scripts/wine-prefix.sh" "$prefix"
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

pidfile=""
if [ -z "${DISPLAY:-}" ]; then
  pidfile="$(mktemp)"
  DISPLAY="$("$root/scripts/xvfb.sh" "$pidfile")" || exit 1
  export DISPLAY
  trap 'wineserver -k 2>/dev/null; kill "$(cat "$pidfile")" 2>/dev/null; rm -f "$pidfile"' EXIT
  echo "No display: running on a private Xvfb display $DISPLAY."
fi

echo "Starting BCSetup.exe $*"
wine "$build/win/bin/BCSetup.exe" "$@"
code=$?
[ "$code" -eq 255 ] && code=-1
echo "BCSetup.exe ended with exit code $code"
