#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; the window-free tests run a
# second time under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON \
    -DTARNWICK_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize --target core_tests io_tests load_tests cli_tests -j "$jobs"
(cd build-sanitize && ctest --output-on-failure -j "$jobs" -L '^(core|io|load|cli)$')
