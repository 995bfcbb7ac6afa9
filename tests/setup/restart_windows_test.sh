#!/usr/bin/env bash
# RestartWindows in a throwaway Wine prefix of its own: a stand-in program's
# window must receive the request to end the session for a restart, and the
# probe that asked must get control back with the shutdown privilege enabled;
# then the same as Windows 98 (Wine's per-program version), where the
# privilege is left alone and the request goes out all the same. Between the
# two, a whole run of BCSetup.exe answered Yes to its restart question.
# The prefix (PREFIX_DIR-en or -ja, by the locale, so that the two locales'
# runs side by side keep apart) is deleted afterwards; the test prefixes are
# never touched. It is a copy of BCSETUP_WINE_TEMPLATE where the test
# scripts made one, else made here.
#   restart_windows_test.sh BIN_DIR PREFIX_DIR WINE_RUN
# (WINE_RUN: the build tree's wine-run.sh, which starts the right Wine.)
set -u
bin="$1"
tag=en; [[ "${LC_ALL:-${LANG:-}}" == ja_* ]] && tag=ja
prefix="$2-$tag"
wine_run="$3"
export WINEPREFIX="$prefix" BCSETUP_WINEPREFIX="$prefix"
record=""

finish() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$prefix"
}
trap finish EXIT

# Waits up to $2 seconds (grown by BCSETUP_TIME_SCALE where programs run
# emulated) for the record to hold a line matching $1.
wait_for() {
  for _ in $(seq 1 $(( $2 * 5 * ${BCSETUP_TIME_SCALE:-1} ))); do
    grep -q "$1" "$record" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}

rm -rf "$prefix"
# Every Wine process gets /dev/null, so none holds CTest's output pipe.
"$(dirname "$0")/../../scripts/wine-prefix.sh" "$prefix" ${BCSETUP_WINE_TEMPLATE:+"$BCSETUP_WINE_TEMPLATE"} \
  </dev/null >/dev/null 2>&1 || { echo "no prefix could be made at $prefix"; exit 1; }

# One round: watcher up, probe run, request seen.   round NAME [PROBE ARGS]
round() {
  local name="$1"; shift
  record="$prefix/drive_c/session-$name.txt"
  "$wine_run" "$bin/SessionWatcher.exe" "C:\\session-$name.txt" --lifetime 120000 </dev/null >/dev/null 2>&1 &
  wait_for '^ready' 120 || { echo "$name: the session watcher did not start"; return 1; }
  "$wine_run" "$bin/restart_probe.exe" "$@" </dev/null >/dev/null 2>&1
  local probe=$?
  if ! wait_for '^query' 60; then
    echo "$name: no end-session request reached the running program"; cat "$record"; return 1
  fi
  echo "$name: session watcher saw:"; cat "$record"
  # lParam 0: the session ends for a restart or shutdown, not a log-off.
  grep -q '^query 0$' "$record" || { echo "$name: the request was not for a restart"; return 1; }
  [ "$probe" -eq 0 ] || { echo "$name: restart probe failed with $probe"; return 1; }
  echo "$name: the restart was asked for and the asking program went on as expected"
}

round nt || exit 1
# A whole run of the setup whose installer asks for a restart, Yes to the
# restart question: the request must reach the running program.
round setup --whole-run || exit 1
"$wine_run" reg add 'HKCU\Software\Wine\AppDefaults\restart_probe.exe' /v Version /d win98 /f </dev/null >/dev/null 2>&1
round win98 --windows98 || exit 1
