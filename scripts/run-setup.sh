#!/usr/bin/env bash
# The demo: builds everything, lays out the medium (build/win/medium, and its
# image build/win/Brixelcast.iso) and runs Setup\BCSetup.exe from it under
# Wine, in a prefix of its own (build/run/wine).
#  - With a display (DISPLAY set): the setup appears there; click through it.
#  - Without one: a walk-through plays the user on a private Xvfb display,
#    saves a picture of each screen in build/run/pictures and prints the
#    outcome (exit code, installed files, registry values).
# It runs the i686 build (the product) in a 64-bit prefix, as on 64-bit
# Windows (WoW64); where the host runs no 32-bit code, or wine32 can't be
# installed, its 32-bit side runs through the private 32-bit Wine under
# qemu-i386 (scripts/private-wine32.sh).
#   run-setup.sh [BUILD_DIR] [switches for the setup...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
shift || true

. "$root/scripts/wine-arch.sh"
bc_install_then_wine_env "$root" || exit 1
echo "Running the i686 build in a WoW64 prefix; its 32-bit side runs $BC_WINE32 ($BC_WINE32_WHY)."
"$root/scripts/build.sh" "$build" || { echo "BUILD FAILED"; exit 1; }
win="$(bc_win_dir "$build" i686)"
export BCSETUP_TIME_SCALE="$(bc_time_scale)"

medium="$win/medium"
prefix="$build/run/wine"
# No sound driver: the demo has nothing to play and the machine may have no card.
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"

# The installer stand-in's title is Japanese. Outside Japanese, captions and
# dialogs are drawn in Wine's Tahoma (captions in its bold face, linked by
# that face's own name), which has no Japanese glyphs; Windows borrows them
# from MS UI Gothic, here from the IPA font (fonts-ipafont-gothic), so that
# the title is legible in every locale.
link_japanese_glyphs() {
  local face
  for face in Tahoma 'Tahoma Bold'; do
    "$BC_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1
  done
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  [ -d "$prefix/drive_c" ] || { echo "Making the Wine prefix $prefix (once)..."; "$root/scripts/wine-prefix.sh" "$prefix"; }
  link_japanese_glyphs
  echo "Starting $medium/Setup/BCSetup.exe $* on $DISPLAY"
  "$BC_WINE" "$medium/Setup/BCSetup.exe" "$@"
  code=$?
  [ "$code" -eq 255 ] && code=-1
  echo "BCSetup.exe ended with exit code $code"
  exit 0
fi

# No display: a fresh prefix each time, so the walk-through starts from a
# machine that has never seen Brixelcast.
echo "No display: walking through a typical run on a private display."
made=$(date +%s)
"$root/scripts/wine-prefix.sh" "$prefix"
echo "The prefix was made in $(( $(date +%s) - made )) s."
pidfile="$(mktemp)"
DISPLAY="$("$root/scripts/xvfb.sh" "$pidfile")" || exit 1
export DISPLAY
trap 'wineserver -k 2>/dev/null; kill "$(cat "$pidfile")" 2>/dev/null; rm -f "$pidfile"' EXIT
link_japanese_glyphs
# A Wine virtual desktop draws window frames and captions for the pictures.
"$BC_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$BC_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w

pictures="$build/run/pictures"
rm -rf "$pictures" && mkdir -p "$pictures"
"$BC_WINE" "$win/bin/walkthrough.exe" "$("$BC_WINE" winepath -w "$medium")" "$("$BC_WINE" winepath -w "$pictures")"
status=$?
for bmp in "$pictures"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "Pictures of each screen: $pictures"
ls "$pictures"
exit $status
