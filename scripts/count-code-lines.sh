#!/usr/bin/env bash
# Counts the code of the test suite against the code it tests: non-blank lines that are not
# only a // comment, of every C++ file under tests/ and under src/ (files whose first line
# says they are generated do not count). Prints both counts and the ratio.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  find "$1" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    while IFS= read -r -d '' file; do
      head -n 1 "$file" | grep -qi 'generated' && continue
      grep -cv -E '^[[:space:]]*(//.*)?$' "$file" || true
    done | awk '{ n += $1 } END { print n + 0 }'
}

tests=$(count tests)
source=$(count src)
echo "tests: $tests lines"
echo "src:   $source lines"
awk -v t="$tests" -v s="$source" 'BEGIN { printf "ratio: %.1f %%\n", 100 * t / s }'
