#!/usr/bin/env bash
# Gives the Wine prefix of the current locale a drive T: with exactly
# 104,857,600 bytes free (a 100 MiB tmpfs), for the free-space tests of the
# folder dialog:   space_drive.sh setup|cleanup BUILD_DIR
# Mounting needs root; without it the drive is simply absent and those tests
# skip (the comparison itself is tested on its own).
set -uo pipefail
action="$1"; build="$2"
tag=en; [[ "${LC_ALL:-${LANG:-}}" == ja_* ]] && tag=ja
prefix="${BCSETUP_WINEPREFIX:-$build/wine/$tag}"
link="$prefix/dosdevices/t:"
mountpoint="/tmp/bcsetup-space-$tag-$(echo "$build" | md5sum | cut -c1-8)"

cleanup() {
  rm -f "$link"
  if mountpoint -q "$mountpoint" 2>/dev/null; then umount "$mountpoint" 2>/dev/null || umount -l "$mountpoint"; fi
  rmdir "$mountpoint" 2>/dev/null || true
}

case "$action" in
  setup)
    cleanup
    mkdir -p "$mountpoint"
    if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=100m,mode=0777 tmpfs "$mountpoint" 2>/dev/null; then
      ln -s "$mountpoint" "$link"
      echo "drive T: is a 100 MiB tmpfs at $mountpoint"
    else
      rmdir "$mountpoint" 2>/dev/null || true
      echo "no tmpfs could be mounted; the exact free-space tests will skip"
    fi
    ;;
  cleanup)
    cleanup
    ;;
esac
exit 0
