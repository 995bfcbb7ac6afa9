#!/usr/bin/env bash
# Prepares C:\bctest-fulltemp in the Wine prefix of the current locale: a
# temporary folder in which every name the platform could hand out for the
# prefix "exp" (exp0.tmp to expffff.tmp) is taken. Made natively, because
# creating 65,536 files through Wine takes minutes.
#   full_temp_folder.sh WIN_BUILD_DIR
set -euo pipefail
case "${LC_ALL:-${LANG:-}}" in ja_JP*) tag=ja ;; *) tag=en ;; esac
folder="${BCSETUP_WINEPREFIX:-$1/wine/$tag}/drive_c/bctest-fulltemp"
rm -rf "$folder"
mkdir -p "$folder"
cd "$folder"
printf 'exp%x.tmp\n' $(seq 0 65535) | xargs touch
