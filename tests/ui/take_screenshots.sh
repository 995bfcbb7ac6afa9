#!/usr/bin/env bash
# Saves PNGs of the folder dialog, message 121 over it and the wait window,
# drawn with frames inside a Wine virtual desktop, for a person to check
# layout and fonts:   take_screenshots.sh SHOWCASE_EXE WINE_RUN OUT_DIR
# Files: OUT_DIR/<en|ja>-<folder|message|wait>.png. Every step has a time
# limit, so a stuck screen fails this test instead of hanging the run. Each
# picture must have the screen's size and more than a blank screen's colours,
# and, where the other language's picture is there already (each locale's run
# makes its own), differ from it.
set -uo pipefail
showcase="$1"; wine_run="$2"; out="$3"
tag=en; other=ja
[[ "${LC_ALL:-${LANG:-}}" == ja_* ]] && { tag=ja; other=en; }
size=640x400
# Where programs run emulated the test scripts set BCSETUP_TIME_SCALE.
scale="${BCSETUP_TIME_SCALE:-1}"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0

for screen in folder message wait; do
  ready="$work/$screen.ready"; done_file="$work/$screen.done"
  png="$out/$tag-$screen.png"
  rm -f "$png"
  timeout $((90 * scale)) "$wine_run" explorer "/desktop=bcshot-$tag-$screen,$size" "Z:${showcase//\//\\}" \
    "$screen" "Z:${ready//\//\\}" "Z:${done_file//\//\\}" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 $((300 * scale))); do
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
    shape="$(identify -format '%wx%h' "$png" 2>/dev/null)"
    colours="$(identify -format '%k' "$png" 2>/dev/null)"
    echo "saved $png ($shape, ${colours:-no} colours)"
    if [ "$shape" != "$size" ]; then
      echo "$png is $shape, not $size" >&2; status=1
    fi
    if [ "${colours:-0}" -lt 3 ]; then
      echo "$png shows a blank screen" >&2; status=1
    fi
    if [ -s "$out/$other-$screen.png" ]; then
      compare -metric AE "$png" "$out/$other-$screen.png" null: >/dev/null 2>&1
      case $? in
        1) echo "differs from $other-$screen.png" ;;
        0) echo "$png is the same picture as $other-$screen.png" >&2; status=1 ;;
        *) echo "could not compare $png with $other-$screen.png" >&2; status=1 ;;
      esac
    fi
  else
    echo "no screenshot of the $screen screen" >&2
    status=1
  fi
done
exit $status
