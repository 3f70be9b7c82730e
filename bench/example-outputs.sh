#!/usr/bin/env bash
# Runs a batch tool over every combination of the example files (databases, search sets, step
# limits, both readings, every command) and keeps each output, its messages and exit status in a
# folder, so that two builds can be compared byte for byte:
#   bench/example-outputs.sh OLD/tarnwick-cli /tmp/old
#   bench/example-outputs.sh NEW/tarnwick-cli /tmp/new
#   diff -r /tmp/old /tmp/new && echo "same: $(ls /tmp/new | wc -l) files"
set -uo pipefail
tool=$(realpath "$1")
out=$2
examples=$(cd "$(dirname "$0")/../examples" && pwd)
mkdir -p "$out"
cd "$out" || exit 2

run() { # name, arguments...
    local name=$1
    shift
    "$tool" "$@" >"$name.out" 2>"$name.err"
    echo $? >"$name.status"
}

databases=(database.csv database.xls database.xlsx database-with-faults.csv
    database-with-faults.xls database-with-faults.xlsx)
searches=(search.csv search.xls search.xlsx lab-haplotypes.csv)
for reading in integers genotypes; do
    flag=()
    [ $reading = genotypes ] && flag=(--genotypes)
    for database in "${databases[@]}"; do
        run "diversity-$reading-$database" diversity "$examples/$database" "${flag[@]}" \
            --out "diversity-$reading-$database.tsv"
        for search in "${searches[@]}"; do
            for steps in 0 2 5; do
                name="match-$reading-$database-$search-$steps"
                run "$name" match "$examples/$database" "$examples/$search" --steps $steps \
                    "${flag[@]}" --by-haplotype "$name.csv" --by-population "$name.tsv"
            done
            name="frequencies-$reading-$database-$search"
            run "$name" frequencies "$examples/$database" "$examples/$search" "${flag[@]}" \
                --confidence 0.99 --out "$name.csv"
        done
    done
    for file in "${databases[@]}" "${searches[@]}"; do
        run "show-$reading-$file" show "$examples/$file" "${flag[@]}"
        run "show-database-$reading-$file" show "$examples/$file" --database "${flag[@]}"
        run "show-search-$reading-$file" show "$examples/$file" --search "${flag[@]}"
    done
done
