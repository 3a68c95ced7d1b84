#!/usr/bin/env bash
# Formats the hand-written C++ (.cpp, .h) of the tree with the project's .clang-format
# (clang-format 14). Generated files are left alone: everything under a
# generated/ folder and the files a generator in tools/ writes elsewhere
# (they say "Written by tools/..." at the top); their generators' --check
# compares them byte for byte.
#
#   tools/format.sh           format in place
#   tools/format.sh --check   list the files that are not formatted, fail if any
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format-14 >/dev/null || ! git rev-parse --git-dir >/dev/null 2>&1; then
  echo "skipped: clang-format-14 or the git checkout is missing"
  exit 77
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '/generated/' |
  while read -r f; do head -n 30 "$f" | grep -q 'Written by tools/' || echo "$f"; done)
if [ "${1:-}" = --check ]; then
  bad=0
  for f in "${files[@]}"; do
    if ! clang-format-14 --dry-run -Werror "$f" >/dev/null 2>&1; then echo "$f"; bad=1; fi
  done
  exit $bad
fi
clang-format-14 -i "${files[@]}"
