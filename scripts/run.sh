#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it. Its program
# directory, where the settings and the client pick list live, is build/bin/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target totamund
exec build/bin/totamund "$@"
