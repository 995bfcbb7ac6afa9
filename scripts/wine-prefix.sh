#!/usr/bin/env bash
# Creates a fresh Wine prefix for programs of ARCH (i686, the default, or
# x86_64):   wine-prefix.sh DIR [ARCH]
# Gecko and Mono are not installed; the prefix is ready when this returns.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(realpath -m "$1")"
. "$root/scripts/wine-arch.sh"
bc_wine_env "${2:-i686}"
rm -rf "$dir"
mkdir -p "$dir"
export WINEPREFIX="$dir" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$BC_WINE" wineboot -i >/dev/null 2>&1 || true

# Windows stay unmanaged on the bare Xvfb display: hiding a managed window
# there waits two seconds for a window manager that never answers.
"$BC_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
# Wine's own fonts (Tahoma for "MS Shell Dlg", Marlett for the caption
# buttons) and the Japanese dialog font, so that screenshots look right.
if compgen -G "/usr/share/wine/fonts/*.ttf" >/dev/null; then
  cp /usr/share/wine/fonts/*.ttf "$dir/drive_c/windows/Fonts/" 2>/dev/null || true
fi
for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic'; do
  "$BC_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /d IPAPGothic /f \
    >/dev/null 2>&1 || true
done
wineserver -w
