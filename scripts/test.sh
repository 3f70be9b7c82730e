#!/usr/bin/env bash
# Installs what is missing, checks that no layer includes one above it and that the layout is
# clang-format's, builds everything (warnings are errors) and runs every test, the checks of the
# installed files, the Debian package's build (optimised, hardened, warnings as errors) with
# lintian and hardening-check, and the checks of .clang-tidy; the window-free tests
# run a second time under AddressSanitizer and UndefinedBehaviorSanitizer, and the readers'
# fuzzers run for 20 seconds each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
jobs=$(nproc)

scripts/check-layers.sh
# Every source file laid out as .clang-format says.
find core io commands cli ui tools fuzz bench tests \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
# Installed as a package would be, and the Debian package as Debian would build and judge it.
scripts/check-install.sh build
scripts/package.sh build-package
# The checks of .clang-tidy, on the program's own code.
run-clang-tidy -p build -quiet "$(pwd)/(core|io|commands|cli|ui|tools)/.*\.cpp" >build/clang-tidy.log 2>&1 ||
    { grep -E 'warning:|error:' build/clang-tidy.log; exit 1; }

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_WERROR=ON \
    -DTARNWICK_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize --target core_tests io_tests commands_tests cli_tests -j "$jobs"
lsan_options="suppressions=$(pwd)/tests/lsan-suppressions.txt"
(cd build-sanitize && LSAN_OPTIONS="$lsan_options" ctest --output-on-failure -j "$jobs" -L '^(core|io|commands|cli)$')

if command -v clang++ >/dev/null; then
    cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTARNWICK_FUZZ=ON >/dev/null
    cmake --build build-fuzz -j "$jobs"
    fuzz/run-fuzzers.sh build-fuzz 20
fi
