#!/usr/bin/env bash
# Builds everything and runs every test: the native tests of the portable core
# (and the fuzzer), then the Win32 tests under Wine, once under an English and
# once under the Japanese locale, each in a fresh Wine prefix in the build tree.
#   run-tests.sh [BUILD_DIR]
# While working on one area: BCSETUP_CTEST_ARGS="-R name" picks tests,
# BCSETUP_LOCALES=en_US.UTF-8 runs one locale only.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
start=$(date +%s)

"$root/scripts/build.sh" "$build" || { echo "BUILD FAILED"; exit 1; }

declare -A result
status=0

echo "=== native tests"
if (cd "$build/host" && ctest --output-on-failure ${BCSETUP_CTEST_ARGS:-}); then result[native]=passed; else result[native]=FAILED; status=1; fi

pidfile="$(mktemp)"
display="$("$root/scripts/xvfb.sh" "$pidfile")" || exit 1
export DISPLAY="$display"
trap 'kill "$(cat "$pidfile")" 2>/dev/null; rm -f "$pidfile"; "$root/scripts/test-drives.sh" unmount "$build/win/drives"' EXIT

for loc in ${BCSETUP_LOCALES:-en_US.UTF-8 ja_JP.UTF-8}; do
  tag=en; [[ $loc == ja_* ]] && tag=ja
  echo "=== Win32 tests under Wine, $loc"
  export LANG="$loc" LC_ALL="$loc"
  prefix="$build/win/wine/$tag"
  "$root/scripts/wine-prefix.sh" "$prefix"
  "$root/scripts/test-drives.sh" mount "$build/win/drives" "$prefix"
  # Keep the prefix's server and services up for the whole run, started here
  # with their output on /dev/null: started by the first test they would hold
  # CTest's output pipe open and CTest would wait for them forever.
  WINEPREFIX="$prefix" wineserver -p
  WINEPREFIX="$prefix" "$build/win/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
  if (cd "$build/win" && ctest --output-on-failure --timeout 600 ${BCSETUP_CTEST_ARGS:-}); then
    result[$tag]=passed
  else
    result[$tag]=FAILED; status=1
  fi
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
done

echo
echo "=== summary ($(( $(date +%s) - start )) s)"
echo "native tests:            ${result[native]}"
for tag in en ja; do [ -n "${result[$tag]:-}" ] && echo "Win32 tests, $tag:          ${result[$tag]}"; done
exit $status
