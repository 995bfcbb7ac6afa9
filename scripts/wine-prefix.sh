#!/usr/bin/env bash
# Creates a fresh 64-bit Wine prefix, in which the i686 build runs as on
# 64-bit Windows (WoW64) and the x86_64 build natively:
#   wine-prefix.sh DIR [TEMPLATE]
# With TEMPLATE (a prefix this script made, its programs ended) DIR becomes
# a copy of it: making a prefix costs seconds natively and far more where
# the 32-bit side runs emulated, copying one a moment.
# Gecko and Mono are not installed; the prefix is ready when this returns.
# A prefix made before is removed first, but only one this script made (it
# holds the marker file below): any other folder of that name is refused and
# left as it is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(realpath -m "${1:?usage: wine-prefix.sh DIR [TEMPLATE]}")"
template="${2:-}"
marker="$dir/.bcsetup-wine-prefix"
. "$root/scripts/wine-arch.sh"
bc_wine_env
if [ -f "$marker" ]; then
  rm -rf "$dir"
elif [ -d "$dir" ] && [ -z "$(ls -A "$dir")" ]; then
  rmdir "$dir"
elif [ -e "$dir" ]; then
  echo "wine-prefix.sh: $dir is not a prefix made by this script (no $(basename "$marker")); not removing it." >&2
  echo "Remove it yourself if it is an old test prefix, or name another folder." >&2
  exit 1
fi
if [ -n "$template" ]; then
  [ -f "$template/$(basename "$marker")" ] || { echo "wine-prefix.sh: $template is no prefix made by this script" >&2; exit 1; }
  mkdir -p "$(dirname "$dir")"
  cp -a "$template" "$dir"
  exit 0
fi
mkdir -p "$dir"
echo "A Wine prefix made by scripts/wine-prefix.sh, which removes it when making it again." >"$marker"
export WINEPREFIX="$dir" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$BC_WINE" wineboot -i >/dev/null 2>&1 || true

# Windows stay unmanaged on the bare Xvfb display: hiding a managed window
# there waits two seconds for a window manager that never answers.
"$BC_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
# A program that crashes prints its backtrace and ends: the crash dialog
# would wait for a click that never comes, until the test's time-out.
"$BC_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
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
