#!/usr/bin/env bash
# Formats the C++ sources of src/, tests/, fuzz/ and bench/ with clang-format (.clang-format); the
# generated tables under src/core/generated/ stay as their generator writes them.
#   scripts/format.sh           rewrites the files in place
#   scripts/format.sh --check   changes nothing; lists what would change and fails if anything would
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
  echo "format: clang-format is not installed (Debian: apt-get install clang-format)" >&2
  exit 1
fi
# A .clang-format it cannot read would otherwise pass every file.
clang-format --dump-config >/dev/null
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- src tests fuzz bench |
  grep -E '\.(cpp|hpp|h)$' | grep -v '^src/core/generated/' | sort -u)
case ${1:-} in
  '') clang-format -i "${files[@]}" ;;
  --check)
    mapfile -t changed < <(printf '%s\n' "${files[@]}" | xargs clang-format --dry-run 2>&1 |
      sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
    if [ ${#changed[@]} -gt 0 ]; then
      printf 'format: not formatted: %s\n' "${changed[@]}"
      echo "format: ${#changed[@]} of ${#files[@]} files differ; scripts/format.sh rewrites them"
      exit 1
    fi
    echo "format: ${#files[@]} files formatted" ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac
