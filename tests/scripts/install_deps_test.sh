#!/usr/bin/env bash
# Tries install-deps.sh's decisions against an apt that fails the way the
# package archive does on a bad day, with stand-in apt-get, dpkg and
# dpkg-query early on PATH (nothing is installed for real), and the test
# harness's choice of architecture that follows from it.
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
# dpkg-query -W -f='${Status}' PACKAGE
pkg="${!#}"
grep -qxF "$pkg" "$STANDIN_STATE/installed" && echo -n 'install ok installed' && exit 0
exit 1
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
run_script() {
  out="$(PATH="$scratch/bin:$PATH" BCSETUP_DEPS_STATE_DIR="$STANDIN_STATE/var" \
         BCSETUP_APT_RETRY_SECONDS=0 "$src/scripts/install-deps.sh" 2>&1)"
  code=$?
}
calls() { grep -c "$1" "$STANDIN_STATE/calls" 2>/dev/null || true; }

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
expect_in "$out" "the Win32 tests will run the x86_64 build under wine64" "bad day"
grep -qxF xorriso "$STANDIN_STATE/installed" || fail "bad day: the other packages were not installed"
grep -qxF i386 "$STANDIN_STATE/architectures" || fail "bad day: the i386 architecture was not added"
note="$STANDIN_STATE/var/wine32-unavailable"
grep -qF "held packages; index not downloaded: $index" "$note" 2>/dev/null ||
  fail "bad day: the reason kept for the harness: $(cat "$note" 2>/dev/null)"
echo "--- what install-deps.sh printed on a bad day:"; echo "$out"

# The harness then runs the x86_64 build and says why; forcing i686 fails.
(
  . "$src/scripts/wine-arch.sh"
  export BCSETUP_DEPS_STATE_DIR="$STANDIN_STATE/var" BCSETUP_WINE32_LOADER="$scratch/no-such-loader"
  unset BCSETUP_TEST_ARCH
  bc_choose_arch BCSETUP_TEST_ARCH || exit 1
  [ "$BC_ARCH" = x86_64 ] || { echo "FAIL: harness chose $BC_ARCH without the 32-bit Wine"; exit 1; }
  if bc_host_runs_32bit; then
    case "$BC_ARCH_WHY" in
      "the 32-bit Wine could not be installed (Error, pkgProblemResolver"*) ;;
      *) echo "FAIL: harness reason: $BC_ARCH_WHY"; exit 1 ;;
    esac
  fi
  echo "--- the harness: x86_64 under wine64: $BC_ARCH_WHY"
  BCSETUP_TEST_ARCH=i686
  if forced="$(bc_choose_arch BCSETUP_TEST_ARCH 2>&1)"; then
    echo "FAIL: BCSETUP_TEST_ARCH=i686 accepted without the 32-bit Wine"; exit 1
  fi
  case "$forced" in
    *"BCSETUP_TEST_ARCH=i686, but the 32-bit Wine could not be installed"*) echo "--- forced: $forced" ;;
    *) echo "FAIL: forced i686 said: $forced"; exit 1 ;;
  esac
) || failures=$((failures + 1))

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
[ ! -e "$STANDIN_STATE/var/wine32-unavailable" ] || fail "good day: the old reason was kept"

# Everything present: apt is not asked at all.
run_script
[ "$code" -eq 0 ] && [ "$(calls update)" -eq 1 ] && [ "$(calls install)" -eq 2 ] ||
  fail "second run: exit $code, apt-get called again"$'\n'"$(cat "$STANDIN_STATE/calls")"

[ "$failures" -eq 0 ] && echo "install_deps_test: all passed"
exit $((failures > 0))
