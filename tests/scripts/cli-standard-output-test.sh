#!/usr/bin/env bash
# The batch tool fails (exit 1) when its standard output cannot take what it writes: a full disk,
# a closed stream. tests/scripts/cli-standard-output-test.sh TARNWICK-CLI TABLE
cli=$1
table=$2
"$cli" show "$table" >/dev/null || { echo "a plain run failed"; exit 1; }
for case in full closed; do
    if [ "$case" = full ]; then "$cli" show "$table" >/dev/full 2>/dev/null; else "$cli" show "$table" >&- 2>/dev/null; fi
    status=$?
    [ "$status" -eq 1 ] || { echo "$case standard output: exit $status"; exit 1; }
done
echo "full and closed standard outputs fail"
