#!/usr/bin/env bash
# Builds everything and runs every test: the native tests of the portable core
# (and the fuzzer), then the Win32 tests under Wine, once under an English and
# once under the Japanese locale, each in a fresh Wine prefix in the build tree.
#   run-tests.sh [BUILD_DIR]
# The Win32 tests run the i686 build (the product) under Wine's 32-bit loader
# where this host runs 32-bit code, else an x86_64 build of the same sources
# under wine64. BCSETUP_TEST_ARCH=i686|x86_64 forces one.
# While working on one area: BCSETUP_CTEST_ARGS="-R name" picks tests,
# BCSETUP_LOCALES=en_US.UTF-8 runs one locale only.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
start=$(date +%s)

"$root/scripts/install-deps.sh" || { echo "INSTALL FAILED"; exit 1; }
export BCSETUP_DEPS_CHECKED=1
. "$root/scripts/wine-arch.sh"
bc_choose_arch BCSETUP_TEST_ARCH || exit 1
arch="$BC_ARCH"
case "$arch" in
  i686) ran_as="i686 under wine32 ($BC_ARCH_WHY)" ;;
  x86_64) ran_as="x86_64 under wine64: $BC_ARCH_WHY" ;;
esac
echo "=== Win32 tests will run as $ran_as"
if [ "$arch" = i686 ] && ! bc_host_runs_32bit; then
  echo "warning: this host runs no 32-bit code; the i686 Win32 tests will fail" >&2
fi

BCSETUP_ARCH="$arch" "$root/scripts/build.sh" "$build" || { echo "BUILD FAILED"; exit 1; }
win="$(bc_win_dir "$build" "$arch")"

declare -A result prefix_time timed_out
status=0

echo "=== native tests"
if (cd "$build/host" && ctest --output-on-failure ${BCSETUP_CTEST_ARGS:-}); then result[native]=passed; else result[native]=FAILED; status=1; fi

pidfile="$(mktemp)"
display="$("$root/scripts/xvfb.sh" "$pidfile")" || exit 1
export DISPLAY="$display"
trap 'kill "$(cat "$pidfile")" 2>/dev/null; rm -f "$pidfile"; "$root/scripts/test-drives.sh" unmount "$win/drives"' EXIT

for loc in ${BCSETUP_LOCALES:-en_US.UTF-8 ja_JP.UTF-8}; do
  tag=en; [[ $loc == ja_* ]] && tag=ja
  echo "=== Win32 tests under Wine ($arch), $loc"
  export LANG="$loc" LC_ALL="$loc"
  prefix="$win/wine/$tag"
  made=$(date +%s)
  "$root/scripts/wine-prefix.sh" "$prefix" "$arch"
  prefix_time[$tag]=$(( $(date +%s) - made ))
  "$root/scripts/test-drives.sh" mount "$win/drives" "$prefix"
  # Keep the prefix's server and services up for the whole run, started here
  # with their output on /dev/null: started by the first test they would hold
  # CTest's output pipe open and CTest would wait for them forever.
  WINEPREFIX="$prefix" wineserver -p
  WINEPREFIX="$prefix" "$win/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
  # The checks of the built files run no Windows code: the first locale only.
  only_once=(); [ -n "${result[en]:-}${result[ja]:-}" ] && only_once=(-LE build_check)
  # A test that times out runs once more: under load Wine now and then
  # never starts a program (no output at all). A test that hangs again fails,
  # and every time-out is named in the summary.
  ctest_log="$win/ctest-$tag.log"
  if (cd "$win" && ctest --output-on-failure --timeout 600 --repeat after-timeout:2 "${only_once[@]}" \
        ${BCSETUP_CTEST_ARGS:-}) 2>&1 | tee "$ctest_log"; then
    result[$tag]=passed
  else
    result[$tag]=FAILED; status=1
  fi
  timed_out[$tag]="$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*Timeout.*/\1/p' "$ctest_log" | sort -u | tr '\n' ' ')"
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
done

echo
echo "=== summary ($(( $(date +%s) - start )) s)"
line() { printf '%-24s %s\n' "$1" "$2"; }
line "Win32 tests ran as:" "$ran_as"
[ "$arch" = x86_64 ] && line "Win32 tests as i686:" "not run: $BC_ARCH_WHY"
line "native tests:" "${result[native]}"
for tag in en ja; do
  [ -n "${result[$tag]:-}" ] && line "Win32 tests, $tag:" "${result[$tag]} (prefix made in ${prefix_time[$tag]} s)"
  [ -n "${timed_out[$tag]:-}" ] && line "  timed out, ran again:" "${timed_out[$tag]}"
done
exit $status
