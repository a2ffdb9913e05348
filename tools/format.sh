#!/usr/bin/env bash
# Formats every tracked C++ file with clang-format and the project's .clang-format.
#   tools/format.sh          rewrites the files in place
#   tools/format.sh --check  changes nothing; lists the files that are not formatted
#                            and fails if there are any
# CLANG_FORMAT names another clang-format binary (the default is the one on PATH).
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *) echo "usage: tools/format.sh [--check]" >&2; exit 2 ;;
esac

clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null; then
  echo "format: $clang_format not found (tools/setup.sh installs it)" >&2
  exit 2
fi

files=()
while IFS= read -r -d '' f; do files+=("$f"); done < <(git ls-files -z -- '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || exit 0

if ! $check; then
  printf '%s\0' "${files[@]}" | xargs -0 "$clang_format" --style=file -i
  exit 0
fi

# One clang-format run reports the first spot in each file that it would change.
status=0
report=$(printf '%s\0' "${files[@]}" | xargs -0 "$clang_format" --style=file --dry-run --Werror --ferror-limit=1 2>&1) || status=$?
[ $status -eq 0 ] && exit 0
unformatted=$(sed -nE 's/^(.*):[0-9]+:[0-9]+: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ -z "$unformatted" ]; then
  echo "$report" >&2
  echo "format: clang-format failed" >&2
  exit 2
fi
echo "$unformatted"
echo "format: $(wc -l <<<"$unformatted") of ${#files[@]} files are not formatted; run tools/format.sh" >&2
exit 1
