#!/usr/bin/env bash
# The checks tools can make without running anything:
#   - every C++ file is formatted as .clang-format says (clang-format --dry-run);
#   - clang-tidy (.clang-tidy) finds nothing in the C++ files a change touches.
# Usage: scripts/lint.sh BUILD_DIR [BASE]
#   BUILD_DIR holds compile_commands.json (a clang build: scripts/test.sh --clang makes one).
#   BASE is the commit the change starts from; by default the merge base with origin/main, or,
#   on main itself, the newest commit's first parent (all of a merged branch).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: scripts/lint.sh BUILD_DIR [BASE]}
base=${2:-}
if [ -z "$base" ]; then
  head=$(git rev-parse HEAD)
  base=$(git merge-base HEAD origin/main 2>/dev/null || true)
  if [ -z "$base" ] || [ "$base" = "$head" ]; then
    base=$(git rev-parse --verify -q HEAD~1 || git hash-object -t tree /dev/null)
  fi
fi

status=0

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! clang-format --dry-run -Werror "${sources[@]}" 2>"$report"; then
  grep -o '^[^:]*' "$report" | sort -u | sed 's/^/not formatted: /'
  echo "clang-format -i FILE... formats them"
  status=1
fi

# Only files the build compiles can be checked: a changed header is checked through the source
# file of the same name beside it.
mapfile -t changed < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h' |
                       sed 's/\.h$/.cpp/' | sort -u |
                       while read -r f; do
                         [ -f "$f" ] && grep -q "\"file\": \"[^\"]*/$f\"" "$build/compile_commands.json" &&
                           echo "$f"
                       done)
if [ ${#changed[@]} -gt 0 ]; then
  echo "clang-tidy on ${#changed[@]} changed files since $(git rev-parse --short "$base")"
  if ! printf '%s\n' "${changed[@]}" |
      xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null; then
    status=1
  fi
fi
exit $status
