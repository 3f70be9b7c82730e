#!/usr/bin/env bash
# Times whole runs of the batch tool with /usr/bin/time: wall time and peak memory, the median of
# three runs of each case. Input files are made on first use in DATA (kept for later runs).
#
# Usage: bench/time-batch.sh [-t TOOL] [-d DATA] CASE...
#   TOOL  the batch tool (default build/cli/tarnwick-cli), e.g. an older build to compare with
#   DATA  a folder for the generated inputs (default /tmp/tarnwick-bench)
# Cases:
#   match-1m                 1,000,000 database x 100 search haplotypes, 27 loci, limit 3,
#                            CSV in and out, with the diversity of a large real collection
#   match-100k               100,000 x 1,000, the same
#   match-1m-close, match-100k-close   the same sizes in close-knit populations: about 700
#                            matches per search haplotype, so that writing the result dominates
#   read-1m-genotypes, read-1m-detect   the diversity of the 1,000,000-row database read by the
#                            genotype reading, and as it comes (--detect-layout)
#   faults-100k, faults-1m   list the faulty cells of 100,000 / 1,000,000 rows x 27 faulty loci
#   refusals                 read each full-size hostile file of tests/data/make-hostile.py
#   budgets                  read the files that a large picture beside them would once unlock
#   text                     read a database of a million haplotypes (120 MB) in Windows-1252
#                            and in UTF-8
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tool=$here/build/cli/tarnwick-cli
data=/tmp/tarnwick-bench
while getopts t:d: option; do
    case $option in
    t) tool=$(realpath "$OPTARG") ;;
    d) data=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
mkdir -p "$data"

# Runs a command three times; prints the median of each of wall time, CPU time (user and system)
# and peak memory.
median_of_three() {
    local label=$1
    shift
    local runs=() measured
    measured=$(mktemp)
    for _ in 1 2 3; do
        # Refusals and faulty files end with status 1; only the time counts here.
        /usr/bin/time -o "$measured" -f "%e %U %S %M" "$@" >/dev/null 2>"$data/stderr.txt" || true
        runs+=("$(tail -n 1 "$measured")")
    done
    rm -f "$measured"
    printf '%s\n' "${runs[@]}" | awk -v label="$label" '
        { wall[NR] = $1; cpu[NR] = $2 + $3; rss[NR] = $4 }
        function median(a, lo, hi) { # of three
            lo = a[1]; hi = a[1]
            for (i = 2; i <= 3; ++i) { if (a[i] < lo) lo = a[i]; if (a[i] > hi) hi = a[i] }
            return a[1] + a[2] + a[3] - lo - hi
        }
        END { printf "%-44s %8.2f s %8.2f s CPU %8.0f MB\n", label, median(wall), median(cpu),
              median(rss) / 1024 }'
}

faulty_csv() { # rows -> file of that many haplotypes whose 27 loci all hold "NA"
    local file=$data/faulty-$1.csv
    if [ ! -f "$file" ]; then
        python3 - "$1" "$file" <<'PY'
import sys
rows, path = int(sys.argv[1]), sys.argv[2]
with open(path, "w") as f:
    f.write(",".join(["Sample", "Population", "N", "M", "H", "R", "C"] +
                     ["DYS%d" % i for i in range(27)]) + "\n")
    line = ",Pop,1,M,H,R,C" + ",NA" * 27 + "\n"
    for r in range(rows):
        f.write("S%d" % r + line)
PY
    fi
    echo "$file"
}

generated() { # database size, search size, diverse or close -> folder of generated tables
    local folder=$data/generated-$1-$2-$3
    if [ ! -f "$folder/database.csv" ]; then
        mkdir -p "$folder"
        if [ "$3" = diverse ]; then
            "$here/build/tools/tarnwick-make-examples" "$folder" "$1" "$2" diverse
        else
            "$here/build/tools/tarnwick-make-examples" "$folder" "$1" "$2"
        fi
    fi
    echo "$folder"
}

match_case() { # label, database size, search size, diverse or close
    local folder
    folder=$(generated "$2" "$3" "$4")
    median_of_three "$1" "$tool" match "$folder/database.csv" "$folder/search.csv" --steps 3 \
        --by-haplotype "$data/matches.csv"
}

for case_name in "$@"; do
    case $case_name in
    match-1m) match_case "$case_name" 1000000 100 diverse ;;
    match-100k) match_case "$case_name" 100000 1000 diverse ;;
    match-1m-close) match_case "$case_name" 1000000 100 close ;;
    match-100k-close) match_case "$case_name" 100000 1000 close ;;
    read-1m-genotypes | read-1m-detect)
        folder=$(generated 1000000 100 diverse)
        option=--genotypes
        [ "$case_name" = read-1m-detect ] && option=--detect-layout
        median_of_three "$case_name" "$tool" diversity "$folder/database.csv" $option \
            --out "$data/diversity.csv"
        ;;
    faults-100k) median_of_three "$case_name" "$tool" show "$(faulty_csv 100000)" --database ;;
    faults-1m) median_of_three "$case_name" "$tool" show "$(faulty_csv 1000000)" --database ;;
    refusals)
        [ -f "$data/hostile/whitespace-flood.xlsx" ] ||
            python3 "$here/tests/data/make-hostile.py" --full "$data/hostile"
        for file in "$data"/hostile/*; do
            median_of_three "refusal $(basename "$file")" "$tool" show "$file"
        done
        ;;
    budgets)
        [ -f "$data/budgets/sparse-1025mb.csv" ] ||
            python3 "$here/tests/data/make-hostile.py" --pictures "$data/budgets"
        for file in "$data"/budgets/*; do
            median_of_three "budget $(basename "$file")" "$tool" show "$file" --database
        done
        ;;
    text)
        [ -f "$data/text/utf-8.csv" ] || python3 "$here/tests/data/make-hostile.py" --text "$data/text"
        for file in "$data"/text/*; do
            median_of_three "text $(basename "$file")" "$tool" show "$file"
        done
        ;;
    *)
        echo "unknown case $case_name" >&2
        exit 2
        ;;
    esac
done
