#!/usr/bin/env bash
# Sets up a private 32-bit Wine for a host whose kernel runs no 32-bit code,
# or on which the archive's wine32:i386 can't be installed:
#   private-wine32.sh [DIR]        (default: $BCSETUP_WINE32_DIR, else /var/cache/bcsetup/wine32)
# Everything comes from Debian packages fetched through an apt configuration
# of its own (bookworm main for i386, trixie main for qemu-user) and is
# unpacked into DIR; nothing is installed system-wide and no binfmt entry is
# made. The 32-bit programs run under trixie's static qemu-i386, called
# directly:
#   DIR/root       the i386 closure of wine32 (Wine's 32-bit loader and DLLs)
#   DIR/host       a private copy of the host's wine64 whose folder holds the
#                  preloader script, so that a 64-bit prefix (WoW64) starts
#                  its 32-bit processes through qemu-i386
#   DIR/ready      written last; a run that finds it, for the same Wine and
#                  the same recipe, is done in a moment
# The host's wine64 (the same Wine version) serves the 64-bit side and its
# wineserver serves both.
set -euo pipefail
dir="$(realpath -m "${1:-${BCSETUP_WINE32_DIR:-/var/cache/bcsetup/wine32}}")"
mirror="${BCSETUP_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
say() { echo "private-wine32: $*" >&2; }

# The recipe's own version: a change below that alters the result bumps it,
# so that an old folder is made again instead of reused.
recipe=3
host_wine="$(dpkg-query -W -f='${Version}' wine64 2>/dev/null || true)"
[ -n "$host_wine" ] || { say "the host's wine64 is not installed"; exit 1; }
stamp="recipe $recipe, wine64 $host_wine"
if [ -f "$dir/ready" ] && [ "$(cat "$dir/ready")" = "$stamp" ]; then
  exit 0
fi

say "setting up the 32-bit Wine in $dir (once; about a minute, some 260 MB to download)"
started=$(date +%s)
rm -f "$dir/ready"
apt_dir="$dir/apt"
mkdir -p "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d" \
         "$apt_dir/preferences.d" "$dir/debs"
: > "$apt_dir/state/status"
cat > "$apt_dir/sources.list" <<EOF
deb [arch=i386,amd64 signed-by=$keyring] $mirror bookworm main
deb [arch=amd64 signed-by=$keyring] $mirror trixie main
EOF
cat > "$apt_dir/apt.conf" <<EOF
Dir::Etc::SourceList "$apt_dir/sources.list";
Dir::Etc::SourceParts "$apt_dir/sources.list.d";
Dir::Etc::Preferences "$apt_dir/preferences";
Dir::Etc::PreferencesParts "$apt_dir/preferences.d";
Dir::State "$apt_dir/state";
Dir::State::status "$apt_dir/state/status";
Dir::Cache "$apt_dir/cache";
APT::Architectures { "amd64"; "i386"; };
APT::Default-Release "bookworm";
APT::Install-Recommends "false";
APT::Sandbox::User "root";
EOF
export APT_CONFIG="$apt_dir/apt.conf"

apt-get update -qq
# The status file is empty, so apt fetches the whole closure.
apt-get install -y -qq --download-only wine32:i386 libfreetype6:i386 libfontconfig1:i386 >/dev/null
(cd "$dir/debs" && rm -f qemu-user_*.deb && apt-get download -qq qemu-user/trixie)
unset APT_CONFIG

root_wine="$(dpkg-deb -f "$apt_dir"/cache/archives/libwine_*_i386.deb Version)"
if [ "$root_wine" != "$host_wine" ]; then
  say "the i386 Wine is $root_wine, the host's wine64 $host_wine: the two sides must be the same Wine"
  exit 1
fi

# Only now, with everything downloaded, what an earlier set-up left goes.
rm -rf "$dir/root" "$dir/host" "$dir/qemu"
root="$dir/root"
mkdir -p "$root" "$dir/qemu"
for deb in "$apt_dir"/cache/archives/*_i386.deb "$apt_dir"/cache/archives/*_all.deb; do
  dpkg-deb -x "$deb" "$root"
done
dpkg-deb -x "$dir"/debs/qemu-user_*.deb "$dir/qemu"
qemu="$dir/qemu/usr/bin/qemu-i386"
[ -x "$qemu" ] || { say "qemu-user carries no qemu-i386"; exit 1; }

# What the maintainer scripts would have done.
# Absolute links inside the root point into it, not at the host.
while IFS= read -r -d '' link; do
  target="$(readlink "$link")"
  case "$target" in /*) ln -sfn "$root$target" "$link" ;; esac
done < <(find "$root" -type l -print0)
# libwine's postinst: the mingw zlib1.dll, marked as a Wine builtin DLL
# (bytes 64-95: "Wine builtin DLL" and 16 zero bytes); without it user32
# fails to load ("zlib1.dll not found").
wine_dlls="$root/usr/lib/i386-linux-gnu/wine/i386-windows"
zlib="$wine_dlls/zlib1.dll"
rm -f "$zlib"
cp -L "$root/usr/i686-w64-mingw32/lib/zlib1.dll" "$zlib"
{ printf 'Wine builtin DLL'; head -c 16 /dev/zero; } | dd of="$zlib" bs=1 seek=64 conv=notrunc status=none
# The dynamic loader's cache of the root (without it FreeType is not found).
mkdir -p "$root/etc"
echo 'include /etc/ld.so.conf.d/*.conf' > "$root/etc/ld.so.conf"
ldconfig -r "$root"

# Wine re-executes its loader through the preloader beside it for every new
# process: that is where qemu-i386 comes in.
cat > "$root/usr/lib/wine/wine-preloader" <<EOF
#!/bin/sh
exec "$qemu" -L "$root" "\$@"
EOF
chmod +x "$root/usr/lib/wine/wine-preloader"

# The 64-bit side. wine64 starts a 32-bit process by executing the
# preloader and the loader in its own folder (it ignores WINELOADER), so it
# runs from a folder of ours; its libraries and data stay the host's.
host="$dir/host"
mkdir -p "$host/lib/wine"
cp /usr/lib/wine/wine64 "$host/lib/wine/wine64"
ln -s /usr/lib/x86_64-linux-gnu "$host/lib/x86_64-linux-gnu"
ln -s /usr/share "$host/share"
ln -s /usr/lib/wine/wineserver64 "$host/lib/wine/wineserver"
ln -s "$root/usr/lib/wine/wine" "$host/lib/wine/wine"
cat > "$host/lib/wine/wine-preloader" <<EOF
#!/bin/sh
# \$1 is the 32-bit loader wine64 expects beside itself: the root's runs instead.
shift
exec "$qemu" -L "$root" "$root/usr/lib/wine/wine" "\$@"
EOF
chmod +x "$host/lib/wine/wine-preloader"
# A 32-bit process that starts a 64-bit one (reg.exe, cmd.exe, a 64-bit
# installer) executes wine64 beside its own loader; the i386 packages ship none.
cat > "$root/usr/lib/wine/wine64" <<EOF
#!/bin/sh
exec "$host/lib/wine/wine64" "\$@"
EOF
chmod +x "$root/usr/lib/wine/wine64"
rm -f "$root/usr/lib/wine/wineserver"
ln -s /usr/lib/wine/wineserver64 "$root/usr/lib/wine/wineserver"

echo "$stamp" > "$dir/ready"
say "ready in $(( $(date +%s) - started )) s"
