#!/usr/bin/env bash
# Runs a command as on a host whose kernel runs no 32-bit code (IA-32
# emulation off), to try the private 32-bit Wine on a host that has both:
#   without-ia32.sh COMMAND [ARGS...]      e.g. scripts/without-ia32.sh make test
# In a mount namespace of its own, the 32-bit loaders (the i386 ld.so and
# Wine's 32-bit loader and preloader) are covered by a file the kernel refuses
# with "Exec format error", as such a kernel refuses every i386 program.
# Needs root (unshare, mount); the host itself is not changed.
set -euo pipefail
[ "$#" -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
if [ "${BCSETUP_IN_NAMESPACE:-}" != 1 ]; then
  exec env BCSETUP_IN_NAMESPACE=1 unshare --mount --propagation private -- "$0" "$@"
fi
refused="$(mktemp)"
# An ELF header for another machine (ARM): execve() says ENOEXEC.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\050\000' > "$refused"
chmod +x "$refused"
for loader in /lib/ld-linux.so.2 /usr/lib/wine/wine /usr/lib/wine/wine-preloader; do
  [ -e "$loader" ] && mount --bind "$refused" "$loader"
done
unset BCSETUP_IN_NAMESPACE
status=0
"$@" || status=$?
rm -f "$refused"
exit "$status"
