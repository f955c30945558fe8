#!/usr/bin/env bash
# Installs what is needed, checks the formatting, builds everything and runs every
# test; then runs the tests of the platform layers, the engine, the table layer, the
# data-aware controls and the server client again under AddressSanitizer (with leak
# checks) and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
scripts/check-format.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOTAMUND_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --timeout 900 -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOTAMUND_SANITIZE=ON -DTOTAMUND_WERROR=ON \
      "-DTOTAMUND_FOLDERS=platform/rtl;platform/classes;platform/db;platform/xbengine;platform/vcl;platform/win;platform/pcl;platform/sql;platform/richedit;tables;remote;datacontrols"
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure --timeout 900 -j "$jobs"
