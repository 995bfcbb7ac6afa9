#!/usr/bin/env bash
# Size-limited drives for the free-space tests, as Wine drive letters of a
# prefix. Each is a fresh tmpfs of an exact size, so its free space is exact:
#   R:  200 MiB minus one page   (too little for the setup's temporary files)
#   S:  200 MiB exactly          (just enough)
#   T:  1 MiB                    (too small for a payload: writes fail with disk full)
#   test-drives.sh mount DRIVES_DIR PREFIX     (needs root; prints why not otherwise)
#   test-drives.sh unmount DRIVES_DIR
set -uo pipefail
action="$1"
dir="$2"
drives=(r:209711104 s:209715200 t:1048576)

unmount_all() {
  for entry in "${drives[@]}"; do
    mountpoint -q "$dir/${entry%%:*}" 2>/dev/null && umount "$dir/${entry%%:*}"
  done
  return 0
}

case "$action" in
  unmount)
    unmount_all ;;
  mount)
    prefix="$3"
    unmount_all
    for entry in "${drives[@]}"; do
      letter="${entry%%:*}"
      size="${entry##*:}"
      mkdir -p "$dir/$letter"
      if ! mount -t tmpfs -o "size=$size" tmpfs "$dir/$letter" 2>/dev/null; then
        echo "test-drives: can't mount a tmpfs here (not root?); free-space tests will be skipped" >&2
        exit 0
      fi
      ln -sfn "$dir/$letter" "$prefix/dosdevices/$letter:"
    done ;;
esac
