#!/usr/bin/env bash
# Installs what is missing, builds Tarnwick and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tarnwick tarnwick-cli -j "$(nproc)"
exec build/ui/tarnwick "$@"
