#!/usr/bin/env bash
# Checks the C++ files a change touches against the repository's .clang-format: every file added,
# changed or renamed since the merge base with main (or with the given revision). Files the
# change does not touch are not looked at, so an unchanged tree always passes.
# Usage: tools/format-check.sh [base revision]
set -euo pipefail
cd "$(dirname "$0")/.."
against="${1:-main}"
if ! base=$(git merge-base HEAD "$against" 2>/dev/null); then
  base=HEAD # no such branch here: only uncommitted changes count
fi
mapfile -t files < <( { git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h' '*.hpp';
                        git ls-files --others --exclude-standard -- '*.cpp' '*.h' '*.hpp'; } | sort -u)
existing=()
for f in "${files[@]}"; do
  [ -f "$f" ] && existing+=("$f")
done
if [ "${#existing[@]}" -eq 0 ]; then
  echo "format: no C++ files changed since $(git rev-parse --short "$base")"
  exit 0
fi
if ! command -v clang-format >/dev/null; then
  echo "format: clang-format is not installed, so ${#existing[@]} changed C++ files cannot be" \
    "checked: install the Debian package clang-format (tools/install-deps.sh does, as root)" >&2
  exit 1
fi
if clang-format --dry-run --Werror "${existing[@]}"; then
  echo "format: ${#existing[@]} changed files follow .clang-format"
else
  echo "format: run clang-format -i on the files above" >&2
  exit 1
fi
