#!/usr/bin/env bash
# Fails when a C++ file of the repository is not as clang-format writes it
# (the one .clang-format at the root). Fix with:
#   git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
