#!/usr/bin/env bash
# Feeds scripts/check-layers.sh a sound tree, then the same tree with one upward include planted
# at a time: it must pass the first and fail on each plant, naming the file.
set -euo pipefail
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

plant() { # file, line
    mkdir -p "$tree/$(dirname "$1")"
    printf '%s\n' "$2" >>"$tree/$1"
}
sound() {
    rm -rf "${tree:?}"/*
    plant core/Error.h '#pragma once'
    plant core/text/Text.h '#include "core/Error.h"'
    plant core/table/Table.h '#include "core/text/Text.h"'
    plant core/matching/kernel/Kernel.h '#include <vector>'
    plant core/matching/Match.h '#include "core/matching/kernel/Kernel.h"'
    plant core/statistics/Stats.cpp '#include "core/matching/Match.h"'
    plant io/Reader.cpp '#include "core/table/Table.h"'
    plant commands/Load.cpp '#include "io/Reader.h"'
    plant ui/Window.cpp '#include "commands/Load.h"'
    plant cli/Tool.cpp '#include "io/Reader.h"'
    plant tools/Make.cpp '#include "core/table/Table.h"'
    plant fuzz/Fuzz.cpp '#include "io/Reader.h"'
    plant bench/Bench.cpp '#include "ui/Window.h"'
}

sound
"$check" "$tree" >/dev/null || { echo "FAIL: the sound tree was refused"; exit 1; }

failures=0
while IFS='|' read -r file line; do
    sound
    plant "$file" "$line"
    if output=$("$check" "$tree" 2>&1); then
        echo "FAIL: not caught: $file: $line"
        failures=$((failures + 1))
    elif ! grep -q "^$file:" <<<"$output"; then
        echo "FAIL: caught but not named: $file: $line"
        failures=$((failures + 1))
    fi
done <<'PLANTS'
core/text/Text.h|#include "io/Reader.h"
core/text/Text.h|#include "../io/ReadLimits.h"
core/text/Text.h|#  include "core/table/Table.h"
core/table/Table.h|#include <core/matching/Match.h>
core/matching/kernel/Kernel.h|#include "core/matching/Match.h"
core/matching/Match.h|  #	include "core/statistics/Stats.h"
io/Reader.cpp|#include "commands/Load.h"
io/Reader.cpp|#include "./../commands/Load.h"
commands/Load.cpp|#include "ui/Window.h"
cli/Tool.cpp|#include "commands/Load.h"
ui/Window.cpp|#include "cli/Tool.h"
tools/Make.cpp|#include "commands/Load.h"
fuzz/Fuzz.cpp|#include "ui/Window.h"
bench/Bench.cpp|#include "tests/TestFiles.h"
core/Error.h|#include "core/text/Text.h"
PLANTS
[ "$failures" -eq 0 ] || exit 1
echo "check-layers: every planted include caught"
