#!/usr/bin/env bash
# Fails when a tracked C++ file (*.h, *.cpp) differs from the style of the
# committed .clang-format, naming each line clang-format would change.
# Exit 77, a skipped test, where clang-format or the git checkout is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format}
if ! command -v "$format" >/dev/null; then
    echo "check_format: $format not found (./scripts/install-deps.sh installs it)" >&2
    exit 77
fi
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "check_format: not a git checkout, no list of tracked files" >&2
    exit 77
fi
if ! git ls-files -z -- '*.h' '*.cpp' | xargs -0 -r "$format" --dry-run --Werror; then
    echo "check_format: clang-format -i the files named above" >&2
    exit 1
fi
