#!/usr/bin/env bash
# The pk24 host tool end to end: pack, list, unpack, scramble, and its
# refusals of bad input (clear message, non-zero exit, nothing half-written).
#   pk24_tool_test.sh PK24 SCRATCH_FOLDER
set -u
pk24="$1"; work="$2"
rm -rf "$work"; mkdir -p "$work/in" "$work/sub/deeper"
cd "$work"
failures=0
check() { local what="$1"; shift; if "$@"; then :; else echo "FAILED: $what"; failures=$((failures + 1)); fi; }
exit_code() { "$@" >/dev/null 2>&1; echo $?; }

head -c 3500000 /dev/urandom > in/setup.exe
printf '[Startup]\r\n' > in/setup.ini
: > in/empty.dat

check "pack a folder and a renamed file" test "$(exit_code "$pk24" pack a.pk24 in --as other.ini in/setup.ini)" = 0
check "archive size" test "$(stat -c %s a.pk24)" = $((24 + 4 * 284 + 3500000 + 11 + 11))
check "list shows the entries in order" \
  test "$("$pk24" list a.pk24 | awk '{print $3}' | head -4 | tr '\n' ' ')" = "empty.dat setup.exe setup.ini other.ini "
# The digests list shows are checked against coreutils' own.
sha() { sha256sum "$1" | cut -d' ' -f1; }
check "list gives each entry's SHA-256" \
  test "$("$pk24" list a.pk24 | awk '$3 == "setup.exe" {print $2}')" = "$(sha in/setup.exe)"
check "list gives an empty entry's SHA-256" \
  test "$("$pk24" list a.pk24 | awk '$3 == "empty.dat" {print $2}')" = "$(sha in/empty.dat)"
check "list ends with the package's SHA-256" test "$("$pk24" list a.pk24 | awk 'END {print $2}')" = "$(sha a.pk24)"
check "unpack" test "$(exit_code "$pk24" unpack a.pk24 out)" = 0
for f in setup.exe setup.ini empty.dat; do check "unpacked $f" cmp -s in/$f out/$f; done
check "unpacked renamed file" cmp -s in/setup.ini out/other.ini

check "scramble" test "$(exit_code "$pk24" scramble in/setup.exe s.bin)" = 0
check "chunk 0 stored as it is" cmp -s -n 1000000 in/setup.exe s.bin
check "chunks 1 and 2 scrambled" bash -c "! cmp -s -i 1000000:1000000 -n 2000000 in/setup.exe s.bin"
check "chunk 3 stored as it is" cmp -s -i 3000000:3000000 in/setup.exe s.bin
check "unscramble" test "$(exit_code "$pk24" unscramble s.bin r.bin)" = 0
check "unscramble restores" cmp -s in/setup.exe r.bin
# The digest the program will carry: of the plain payload, not of what is stored.
check "scramble writes the digest" test "$(exit_code "$pk24" scramble in/setup.exe s.bin s.sha)" = 0
check "digest is the plain payload's SHA-256" test "$(od -An -tx1 s.sha | tr -d ' \n')" = "$(sha in/setup.exe)"
check "a digest that can't be written fails" test "$(exit_code "$pk24" scramble in/setup.ini s2.bin sub/none/x.sha)" = 1

# Known answers, worked out by hand from the chunk rule, so that a wrong
# choice of chunks can't hide behind a round trip: plain byte i is i mod 256;
# chunks 1 and 2 store plain XOR the plain byte before, their first byte XOR
# 0x6B and 0xD2. Five bytes around the start of chunks 1, 2 and 3, of a
# payload with 100,000-byte chunks and of one with 1,000,000-byte chunks.
bytes_at() { od -An -tx1 -j "$2" -N 5 "$1" | tr -d ' \n'; }
for size in 350000 3500000; do
  python3 -c "import sys; sys.stdout.buffer.write((bytes(range(256)) * ($size // 256 + 1))[:$size])" > ka_$size
  check "scramble $size known bytes" test "$(exit_code "$pk24" scramble ka_$size ka_$size.s)" = 0
done
check "chunk 1 of 100,000 starts at 100,000 with seed 0x6B" test "$(bytes_at ka_350000.s 99998)" = 9e9fcb0103
check "chunk 2 of 100,000 starts at 200,000 with seed 0xD2" test "$(bytes_at ka_350000.s 199998)" = 0301920103
check "chunk 3 of 100,000 is stored as it is" test "$(bytes_at ka_350000.s 299998)" = 0301e0e1e2
check "chunk 1 of 1,000,000 starts at 1,000,000" test "$(bytes_at ka_3500000.s 999998)" = 3e3f2b0103
check "chunk 2 of 1,000,000 starts at 2,000,000" test "$(bytes_at ka_3500000.s 1999998)" = 0301520103
check "chunk 3 of 1,000,000 is stored as it is" test "$(bytes_at ka_3500000.s 2999998)" = 0301c0c1c2

for name in ../up.txt 'a\b' C:x NUL com1.txt 'dot.' '..'; do
  check "pack refuses $name" test "$(exit_code "$pk24" pack bad.pk24 --as "$name" in/setup.ini)" = 1
  check "no archive left for $name" test ! -e bad.pk24
done
name263="$(printf 'n%.0s' $(seq 263))"
check "pack takes a name of 263 bytes" test "$(exit_code "$pk24" pack long.pk24 --as "$name263" in/setup.ini)" = 0
check "list shows the 263-byte name" test "$("$pk24" list long.pk24 | awk 'NR == 1 {print $3}')" = "$name263"
check "pack refuses a name of 264 bytes" test "$(exit_code "$pk24" pack bad.pk24 --as "${name263}n" in/setup.ini)" = 1
check "no archive left for the 264-byte name" test ! -e bad.pk24
check "pack refuses a name twice" test "$(exit_code "$pk24" pack bad.pk24 in/setup.ini --as SETUP.INI in/empty.dat)" = 1
check "pack refuses subfolders" test "$(exit_code "$pk24" pack bad.pk24 sub)" = 1
check "pack refuses missing files" test "$(exit_code "$pk24" pack bad.pk24 in/missing)" = 1
check "no archive left" test ! -e bad.pk24
printf '\x95\x5c.txt' > sjis_name
check "Shift-JIS name with 0x5C trail byte needs --codepage 932" \
  test "$(exit_code "$pk24" pack j.pk24 --as "$(cat sjis_name)" in/setup.ini)" = 1
check "Shift-JIS name accepted with --codepage 932" \
  test "$(exit_code "$pk24" --codepage 932 pack j.pk24 --as "$(cat sjis_name)" in/setup.ini)" = 0

head -c 1000 a.pk24 > cut.pk24
check "list of a cut package fails" test "$(exit_code "$pk24" list cut.pk24)" = 1
check "error names the cause" bash -c "'$pk24' list cut.pk24 2>&1 | grep -q 'ends before'"
check "list of a non-package fails" test "$(exit_code "$pk24" list in/setup.ini)" = 1
check "unknown command is misuse" test "$(exit_code "$pk24" frobnicate)" = 2
check "missing arguments are misuse" test "$(exit_code "$pk24" unpack a.pk24)" = 2
check "--help" bash -c "'$pk24' --help | grep -q unscramble"

[ "$failures" -eq 0 ] && echo "pk24 tool: all checks passed"
exit $((failures > 0))
