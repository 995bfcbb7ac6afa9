#!/usr/bin/env bash
# Saves PNGs of the folder dialog, message 121 over it and the wait window,
# drawn with frames inside a Wine virtual desktop, for a person to check
# layout and fonts:   take_screenshots.sh SHOWCASE_EXE WINE_RUN OUT_DIR
# Files: OUT_DIR/<en|ja>-<folder|message|wait>.png. Every step has a time
# limit, so a stuck screen fails this test instead of hanging the run.
set -uo pipefail
showcase="$1"; wine_run="$2"; out="$3"
tag=en; [[ "${LC_ALL:-${LANG:-}}" == ja_* ]] && tag=ja
size=640x400
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0

for screen in folder message wait; do
  ready="$work/$screen.ready"; done_file="$work/$screen.done"
  png="$out/$tag-$screen.png"
  rm -f "$png"
  timeout 90 "$wine_run" explorer "/desktop=bcshot-$tag-$screen,$size" "Z:${showcase//\//\\}" \
    "$screen" "Z:${ready//\//\\}" "Z:${done_file//\//\\}" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 300); do
    [ -e "$ready" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "$ready" ]; then
    timeout 20 import -window root -crop "$size+0+0" +repage "$png" || true
  fi
  touch "$done_file"
  wait "$pid" 2>/dev/null
  if [ -s "$png" ]; then
    echo "saved $png ($(identify -format '%wx%h' "$png" 2>/dev/null))"
  else
    echo "no screenshot of the $screen screen" >&2
    status=1
  fi
done
exit $status
