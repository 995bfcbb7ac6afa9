#!/usr/bin/env bash
# Tries install-deps.sh's decisions against an apt that fails the way the
# package archive does on a bad day, on hosts that do and don't run 32-bit
# code, with stand-in apt-get, dpkg and dpkg-query early on PATH and a
# stand-in for the private 32-bit Wine's set-up (nothing is installed for
# real); then the harness's choice of the 32-bit side that follows from it,
# and the private Wine's reuse of what an earlier run set up.
#   install_deps_test.sh SOURCE_DIR SCRATCH_DIR
set -uo pipefail
src="$1"
scratch="$2"
rm -rf "$scratch" && mkdir -p "$scratch/bin"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_in() { grep -qF -- "$2" <<<"$1" || fail "$3: expected \"$2\" in:"$'\n'"$1"; }

# The stand-ins keep their state in files: installed (one package a line),
# refused (packages apt cannot install), calls (one line per apt-get call),
# and the scripted answer of apt-get update (update.fails: its output).
cat > "$scratch/bin/dpkg-query" <<'STANDIN'
#!/usr/bin/env bash
# dpkg-query -W -f='${Status}' PACKAGE (or -f='${Version}')
pkg="${!#}"
grep -qxF "$pkg" "$STANDIN_STATE/installed" || exit 1
case "$*" in
  *Version*) echo -n '8.0~repack-4' ;;
  *) echo -n 'install ok installed' ;;
esac
STANDIN
cat > "$scratch/bin/dpkg" <<'STANDIN'
#!/usr/bin/env bash
case "$1" in
  --print-foreign-architectures) cat "$STANDIN_STATE/architectures" 2>/dev/null ;;
  --add-architecture) echo "$2" >> "$STANDIN_STATE/architectures" ;;
esac
STANDIN
cat > "$scratch/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
echo "$*" >> "$STANDIN_STATE/calls"
case "$*" in
  *update*)
    [ -f "$STANDIN_STATE/update.fails" ] || exit 0
    cat "$STANDIN_STATE/update.fails" >&2; exit 100 ;;
  *install*)
    pkgs=(); for a in "$@"; do case "$a" in -*|install) ;; *) pkgs+=("$a") ;; esac; done
    for p in "${pkgs[@]}"; do
      if grep -qxF "$p" "$STANDIN_STATE/refused" 2>/dev/null; then
        echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." >&2
        exit 100
      fi
    done
    printf '%s\n' "${pkgs[@]}" >> "$STANDIN_STATE/installed" ;;
esac
STANDIN
# The private 32-bit Wine's set-up: records that it ran; private.fails fails it.
cat > "$scratch/bin/private-wine32" <<'STANDIN'
#!/usr/bin/env bash
echo ran >> "$STANDIN_STATE/private-calls"
[ ! -f "$STANDIN_STATE/private.fails" ]
STANDIN
cat > "$scratch/bin/id" <<'STANDIN'
#!/bin/sh
echo 0
STANDIN
cat > "$scratch/bin/locale" <<'STANDIN'
#!/bin/sh
printf 'C.utf8\nen_US.utf8\nja_JP.utf8\n'
STANDIN
chmod +x "$scratch/bin/"*

# run_case NAME: a fresh state; sets out (all it printed) and code.
run_case() {
  export STANDIN_STATE="$scratch/$1"
  mkdir -p "$STANDIN_STATE"
  : > "$STANDIN_STATE/installed"
}
# run_script [yes|no]: install-deps.sh on a host that runs 32-bit code (yes,
# the default) or doesn't.
run_script() {
  out="$(PATH="$scratch/bin:$PATH" BCSETUP_DEPS_STATE_DIR="$STANDIN_STATE/var" \
         BCSETUP_APT_RETRY_SECONDS=0 BCSETUP_HOST_RUNS_32BIT="${1:-yes}" \
         BCSETUP_PRIVATE_WINE32="$scratch/bin/private-wine32" "$src/scripts/install-deps.sh" 2>&1)"
  code=$?
}
private_calls() { count ran "$STANDIN_STATE/private-calls"; }
count() { local n; n="$(grep -c "$1" "$2" 2>/dev/null)"; echo "${n:-0}"; }
calls() { count "$1" "$STANDIN_STATE/calls"; }

index='http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz'
bad_day() {
  printf 'E: Failed to fetch %s  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]\nE: Some index files failed to download. They have been ignored, or old ones used instead.\n' \
    "$index" > "$STANDIN_STATE/update.fails"
}

# A bad day: one index fails for good and the 32-bit Wine can't be resolved.
run_case bad-day
bad_day
echo wine32:i386 > "$STANDIN_STATE/refused"
run_script
[ "$code" -eq 0 ] || fail "bad day: exit $code, expected 0 (everything else installs)"$'\n'"$out"
[ "$(calls update)" -eq 3 ] || fail "bad day: apt-get update ran $(calls update) times, expected 3"
expect_in "$out" "could not be downloaded after 3 tries" "bad day"
expect_in "$out" "$index" "bad day"
expect_in "$out" "the 32-bit Wine (wine32:i386) could not be installed" "bad day"
expect_in "$out" "the private 32-bit Wine serves instead" "bad day"
[ "$(private_calls)" -eq 1 ] || fail "bad day: the private 32-bit Wine was set up $(private_calls) times, expected once"
grep -qxF xorriso "$STANDIN_STATE/installed" || fail "bad day: the other packages were not installed"
grep -qxF i386 "$STANDIN_STATE/architectures" || fail "bad day: the i386 architecture was not added"
note="$STANDIN_STATE/var/wine32-unavailable"
grep -qF "held packages; index not downloaded: $index" "$note" 2>/dev/null ||
  fail "bad day: the reason kept for the harness: $(cat "$note" 2>/dev/null)"
echo "--- what install-deps.sh printed on a bad day:"; echo "$out"

# The harness's choice of the 32-bit side: native only with 32-bit code and
# wine32, else emulated through the private Wine, else none (and why).
(
  . "$src/scripts/wine-arch.sh"
  fake_loader="$scratch/wine32-loader"; : > "$fake_loader"; chmod +x "$fake_loader"
  private="$scratch/private-ready"; mkdir -p "$private"; : > "$private/ready"
  choose() {  # HOST_RUNS_32BIT LOADER PRIVATE_DIR
    BCSETUP_HOST_RUNS_32BIT="$1" BCSETUP_WINE32_LOADER="$2" BCSETUP_WINE32_DIR="$3"
    export BCSETUP_HOST_RUNS_32BIT BCSETUP_WINE32_LOADER BCSETUP_WINE32_DIR
    bc_wine_env
    echo "$BC_WINE32 $BC_WINE"
  }
  expect() {  # WHAT GOT
    [ "${2%% *}" = "$1" ] || { echo "FAIL: harness chose $2, expected $1"; exit 1; }
  }
  expect native "$(choose yes "$fake_loader" "$scratch/none")"
  expect emulated "$(choose yes "$scratch/no-such-loader" "$private")"
  # ... and says why, with the reason install-deps.sh kept on the bad day.
  BCSETUP_HOST_RUNS_32BIT=yes BCSETUP_WINE32_LOADER="$scratch/no-such-loader" BCSETUP_WINE32_DIR="$private" \
    BCSETUP_DEPS_STATE_DIR="$scratch/bad-day/var" bc_wine32_route
  case "$BC_WINE32_WHY" in
    "wine32:i386 could not be installed (Error, pkgProblemResolver"*"; the private 32-bit Wine under qemu-i386") ;;
    *) echo "FAIL: emulated on a bad day, and the reason: $BC_WINE32_WHY"; exit 1 ;;
  esac
  expect emulated "$(choose no "$fake_loader" "$private")"
  got="$(choose no "$fake_loader" "$private")"
  [ "${got#* }" = "$private/host/lib/wine/wine64" ] || { echo "FAIL: emulated, but Wine is ${got#* }"; exit 1; }
  expect missing "$(choose no "$fake_loader" "$scratch/none")"
  choose no "$fake_loader" "$scratch/none" >/dev/null
  case "$BC_WINE32_WHY" in
    "this host runs no 32-bit code and the private 32-bit Wine is not set up"*) ;;
    *) echo "FAIL: missing, and the reason: $BC_WINE32_WHY"; exit 1 ;;
  esac
  [ "$(BC_WINE32=emulated bc_time_scale)" -gt 1 ] && [ "$(BC_WINE32=native bc_time_scale)" -eq 1 ] ||
    { echo "FAIL: time-outs don't scale where programs run emulated"; exit 1; }
  echo "--- the harness: native, emulated and missing as expected"
) || failures=$((failures + 1))

# A host that runs no 32-bit code: no i386 architecture and no wine32:i386
# system-wide, the private 32-bit Wine instead; a second run asks apt nothing.
run_case no-32bit
run_script no
[ "$code" -eq 0 ] || fail "no 32-bit code: exit $code"$'\n'"$out"
grep -q wine32 "$STANDIN_STATE/installed" && fail "no 32-bit code: wine32:i386 was installed system-wide"
grep -qxF i386 "$STANDIN_STATE/architectures" 2>/dev/null && fail "no 32-bit code: the i386 architecture was added"
[ "$(private_calls)" -eq 1 ] || fail "no 32-bit code: the private 32-bit Wine was set up $(private_calls) times"
expect_in "$out" "this host runs no 32-bit code: the 32-bit side runs through the private 32-bit Wine" "no 32-bit code"
run_script no
[ "$code" -eq 0 ] && [ "$(calls update)" -eq 1 ] || fail "no 32-bit code, second run: exit $code, apt-get update again"
# ... and where the private Wine can't be set up, nothing 32-bit can run: fail.
touch "$STANDIN_STATE/private.fails"
run_script no
[ "$code" -ne 0 ] || fail "no 32-bit code, no private Wine: exit 0"
expect_in "$out" "the private 32-bit Wine could not be set up; no i686 program can start" "no private Wine"

# The private Wine's own script reuses a folder set up by the same recipe for
# the same Wine without asking apt, and sets up again one left by another.
run_case private-reuse
echo wine64 >> "$STANDIN_STATE/installed"
private_dir="$STANDIN_STATE/wine32"
mkdir -p "$private_dir"
recipe="$(sed -n 's/^recipe=//p' "$src/scripts/private-wine32.sh")"
echo "recipe $recipe, wine64 8.0~repack-4" > "$private_dir/ready"
PATH="$scratch/bin:$PATH" "$src/scripts/private-wine32.sh" "$private_dir" >/dev/null 2>&1 ||
  fail "private Wine: a ready folder was not reused"
[ "$(calls update)" -eq 0 ] || fail "private Wine: apt was asked although the folder was ready"
echo "recipe 0, wine64 8.0~repack-4" > "$private_dir/ready"
touch "$STANDIN_STATE/update.fails"
PATH="$scratch/bin:$PATH" "$src/scripts/private-wine32.sh" "$private_dir" >/dev/null 2>&1 &&
  fail "private Wine: an old recipe's folder was reused (or apt's failure ignored)"
[ "$(calls update)" -eq 1 ] || fail "private Wine: an old recipe's folder was not set up again"
[ ! -e "$private_dir/ready" ] || fail "private Wine: a failed set-up left the folder marked ready"

# A needed package that can't be installed fails the run and is named; the
# others still install.
run_case needed-missing
echo xorriso > "$STANDIN_STATE/refused"
run_script
[ "$code" -ne 0 ] || fail "needed package missing: exit 0"
expect_in "$out" "these needed packages could not be installed: xorriso" "needed package missing"
grep -qxF osslsigncode "$STANDIN_STATE/installed" || fail "needed package missing: the others were not installed"

# A good day after a bad one: the 32-bit Wine installs and the note goes.
run_case good-day
mkdir -p "$STANDIN_STATE/var" && echo "old reason" > "$STANDIN_STATE/var/wine32-unavailable"
run_script
[ "$code" -eq 0 ] || fail "good day: exit $code"$'\n'"$out"
[ "$(calls update)" -eq 1 ] || fail "good day: apt-get update ran $(calls update) times, expected 1"
grep -qxF wine32:i386 "$STANDIN_STATE/installed" || fail "good day: wine32:i386 not installed"
[ "$(private_calls)" -eq 0 ] || fail "good day: the private 32-bit Wine was set up beside the system's"
[ ! -e "$STANDIN_STATE/var/wine32-unavailable" ] || fail "good day: the old reason was kept"

# Everything present: apt is not asked at all.
run_script
[ "$code" -eq 0 ] && [ "$(calls update)" -eq 1 ] && [ "$(calls install)" -eq 2 ] ||
  fail "second run: exit $code, apt-get called again"$'\n'"$(cat "$STANDIN_STATE/calls")"

[ "$failures" -eq 0 ] && echo "install_deps_test: all passed"
exit $((failures > 0))
