#!/usr/bin/env bash
# Starts an Xvfb display on the first free number from 90 up and prints it.
# The caller ends it with: kill "$(cat "$pidfile")"   (xvfb.sh PIDFILE)
set -euo pipefail
pidfile="$1"
for n in $(seq 90 140); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
    echo "$pid" > "$pidfile"
    echo ":$n"
    exit 0
  fi
done
echo "xvfb.sh: no free display" >&2
exit 1
