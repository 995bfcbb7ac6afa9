#!/usr/bin/env bash
# Creates a fresh Wine prefix: wine-prefix.sh DIR
# Gecko and Mono are not installed; the prefix is ready when this returns.
set -euo pipefail
dir="$1"
rm -rf "$dir"
mkdir -p "$dir"
export WINEPREFIX="$dir" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
wineserver -w
