#!/usr/bin/env bash
# The C++ sources match .clang-format: lists every file that doesn't, with
# what clang-format would change first.   code_format_test.sh SOURCE_DIR
set -uo pipefail
root="$1"
cd "$root" || exit 1
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find base package setup ui dxver resources standins tests tools bench -name '*.cpp' -o -name '*.h')
fi
status=0
for file in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file"
    clang-format "$file" | diff "$file" - | head -8
    status=1
  fi
done
[ "$status" = 0 ] && echo "${#files[@]} files match .clang-format"
exit "$status"
