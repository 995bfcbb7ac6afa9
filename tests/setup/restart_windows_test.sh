#!/usr/bin/env bash
# RestartWindows in a throwaway Wine prefix of its own: a stand-in program's
# window must receive the request to end the session for a restart, and the
# probe that asked must get control back with the shutdown privilege enabled.
# The prefix is deleted afterwards; the test prefixes are never touched.
#   restart_windows_test.sh BIN_DIR PREFIX_DIR
set -u
bin="$1"
prefix="$2"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
record="$prefix/drive_c/session.txt"

finish() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$prefix"
}
trap finish EXIT

# Waits up to $2 seconds for the record to hold a line matching $1.
wait_for() {
  for _ in $(seq 1 $(( $2 * 5 ))); do
    grep -q "$1" "$record" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}

rm -rf "$prefix"
mkdir -p "$prefix"
# Every Wine process gets /dev/null, so none holds CTest's output pipe.
wineboot -i </dev/null >/dev/null 2>&1
wine "$bin/SessionWatcher.exe" 'C:\session.txt' --lifetime 120000 </dev/null >/dev/null 2>&1 &
wait_for '^ready' 120 || { echo "the session watcher did not start"; exit 1; }

wine "$bin/restart_probe.exe" </dev/null >/dev/null 2>&1
probe=$?
if ! wait_for '^query' 60; then
  echo "no end-session request reached the running program"; cat "$record"; exit 1
fi
echo "session watcher saw:"; cat "$record"
# lParam 0: the session ends for a restart or shutdown, not a log-off.
grep -q '^query 0$' "$record" || { echo "the request was not for a restart"; exit 1; }
[ "$probe" -eq 0 ] || { echo "restart probe failed with $probe"; exit 1; }
echo "RestartWindows returned with the shutdown privilege enabled"
