#!/usr/bin/env bash
# The tree follows its .clang-format: every C++ file git knows of, as
# clang-format would write it. Names the lines that differ.
set -euo pipefail
cd "$1"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
