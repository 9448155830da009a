#!/usr/bin/env bash
# Fails, naming each place, when a tracked C++ file is not as clang-format (.clang-format) leaves it.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "missing: clang-format (scripts/setup installs it)"; exit 1; }
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
