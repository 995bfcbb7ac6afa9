#!/usr/bin/env bash
# Builds everything and runs every test: the native tests of the portable core
# (and the fuzzer), then the Win32 tests under Wine:
#   - the i686 build (the product) under en_US.UTF-8 and under ja_JP.UTF-8,
#     side by side, in 64-bit prefixes (WoW64, as on 64-bit Windows), its
#     32-bit side native where the host allows it, else emulated through
#     the private 32-bit Wine (scripts/private-wine32.sh);
#   - the x86_64 build under en_US.UTF-8, which keeps the code 64-bit clean.
# Each run has a fresh prefix (a copy of one made once per run of this
# script), its own wineserver, its own drives and its own Xvfb display.
#   run-tests.sh [BUILD_DIR]
# While working on one area: BCSETUP_CTEST_ARGS="-R name" picks tests,
# BCSETUP_TEST_RUNS="i686:en" (of i686:en i686:ja x86_64:en) picks runs.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
start=$(date +%s)

. "$root/scripts/wine-arch.sh"
bc_install_then_wine_env "$root" || exit 1
echo "=== the 32-bit side runs $BC_WINE32 ($BC_WINE32_WHY)"
runs="${BCSETUP_TEST_RUNS:-i686:en i686:ja x86_64:en}"
builds="i686"; [[ " $runs " == *" x86_64:"* ]] && builds="i686 x86_64"

BCSETUP_BUILDS="$builds" "$root/scripts/build.sh" "$build" || { echo "BUILD FAILED"; exit 1; }
built=$(date +%s)

status=0
echo "=== native tests"
if (cd "$build/host" && ctest --output-on-failure ${BCSETUP_CTEST_ARGS:-}); then native=passed; else native=FAILED; status=1; fi

scale="$(bc_time_scale)"
export BCSETUP_TIME_SCALE="$scale"
report="$build/test-runs"
rm -rf "$report" && mkdir -p "$report"

# One prefix made for all runs, then copied.
template="$build/wine-template"
made=$(date +%s)
"$root/scripts/wine-prefix.sh" "$template" || { echo "PREFIX FAILED"; exit 1; }
template_time=$(( $(date +%s) - made ))
export BCSETUP_WINE_TEMPLATE="$template"

# run_win32 ARCH TAG: one run of the Win32 tests; leaves its result in
# $report/ARCH-TAG.*. Its output goes to $report/ARCH-TAG.log.
run_win32() {
  local arch="$1" tag="$2" loc win prefix pidfile display log result=passed
  loc=en_US.UTF-8; [ "$tag" = ja ] && loc=ja_JP.UTF-8
  win="$(bc_win_dir "$build" "$arch")"
  prefix="$win/wine/$tag"
  log="$report/$arch-$tag.log"
  export LANG="$loc" LC_ALL="$loc" WINEPREFIX="$prefix"
  local copied; copied=$(date +%s)
  "$root/scripts/wine-prefix.sh" "$prefix" "$template" || { echo FAILED >"$report/$arch-$tag.result"; return; }
  echo $(( $(date +%s) - copied )) >"$report/$arch-$tag.prefix"
  pidfile="$(mktemp)"
  display="$("$root/scripts/xvfb.sh" "$pidfile")" || { echo FAILED >"$report/$arch-$tag.result"; return; }
  export DISPLAY="$display"
  "$root/scripts/test-drives.sh" mount "$win/drives/$tag" "$prefix"
  # Keep the prefix's server and services up for the whole run, started here
  # with their output on /dev/null: started by the first test they would hold
  # CTest's output pipe open and CTest would wait for them forever.
  wineserver -p
  "$win/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
  # The checks of the built files run no Windows code: once, in the i686
  # English run.
  local only_once=()
  [ "$arch-$tag" = i686-en ] || only_once=(-LE build_check)
  (cd "$win" && ctest --output-on-failure --timeout $((600 * scale)) "${only_once[@]}" ${BCSETUP_CTEST_ARGS:-}) \
    >"$log" 2>&1 || result=FAILED
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  kill "$(cat "$pidfile")" 2>/dev/null; rm -f "$pidfile"
  "$root/scripts/test-drives.sh" unmount "$win/drives/$tag"
  echo "$result" >"$report/$arch-$tag.result"
}

# The runs side by side, each printing when it ends.
pids=()
for run in $runs; do
  arch="${run%%:*}" tag="${run##*:}"
  echo "=== Win32 tests of the $arch build, $tag: started (log: $report/$arch-$tag.log)"
  ( run_win32 "$arch" "$tag"; echo "=== Win32 tests of the $arch build, $tag: $(cat "$report/$arch-$tag.result") after $(( $(date +%s) - built )) s" ) &
  pids+=($!)
done
wait "${pids[@]}"

# What failed, in full, after the summaries of every run.
for run in $runs; do
  arch="${run%%:*}" tag="${run##*:}"
  if [ "$(cat "$report/$arch-$tag.result" 2>/dev/null)" != passed ]; then
    echo; echo "=== the $arch build, $tag: what failed"
    # Each failed test's own output (from its "Start" line to the next).
    awk '/^ *Start +[0-9]+: /{ if (keep) printf "%s", block; block = ""; keep = 0 }
         { block = block $0 "\n" }
         /\*\*\*(Failed|Timeout|Exception|Not Run)/{ keep = 1 }
         /^The following tests FAILED/{ if (keep) printf "%s", block; block = ""; keep = 0; tail = 1 }
         tail { print }' "$report/$arch-$tag.log" | grep -v '^ALSA lib' | tail -n 400
    echo "(the whole output: $report/$arch-$tag.log)"
  fi
done

echo
echo "=== summary ($(( $(date +%s) - start )) s; build $(( built - start )) s)"
line() { printf '%-30s %s\n' "$1" "$2"; }
line "native tests:" "$native"
line "64-bit prefix:" "made once in $template_time s, then copied for each run"
for run in $runs; do
  arch="${run%%:*}" tag="${run##*:}" log="$report/$arch-$tag.log"
  res="$(cat "$report/$arch-$tag.result" 2>/dev/null || echo FAILED)"
  [ "$res" = passed ] || status=1
  kind="64-bit prefix, 64-bit program"
  [ "$arch" = i686 ] && kind="64-bit prefix, 32-bit program in WoW64, its 32-bit side $BC_WINE32"
  line "$arch build, $tag:" "$res: $(grep -o '[0-9]*% tests passed.*' "$log" 2>/dev/null || echo 'no tests ran')"
  line "" "$kind; its prefix copied in $(cat "$report/$arch-$tag.prefix" 2>/dev/null || echo '?') s"
  timed_out="$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*Timeout.*/\1/p' "$log" 2>/dev/null | sort -u | tr '\n' ' ')"
  [ -n "$timed_out" ] && line "  timed out:" "$timed_out"
  not_run="$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*\(Not Run\|Skipped\).*/\1/p' "$log" 2>/dev/null | sort -u | tr '\n' ' ')"
  [ -n "$not_run" ] && line "  not run:" "$not_run"
done
[ "$BC_WINE32" = emulated ] && line "time-outs:" "x$scale (the 32-bit side runs emulated)"
exit $status
