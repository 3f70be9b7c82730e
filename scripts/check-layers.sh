#!/usr/bin/env bash
# Fails when a file includes what lies above it, and names every such include:
# - layers: core <- io <- commands <- ui, and cli on core and io only; tools and fuzz on core and
#   io; bench on any layer; nothing includes tools, fuzz, bench or tests;
# - core's rooms: Error.h <- text <- genotype <- table <- matching/kernel <- matching <- statistics;
# - any include through "..", which would step around both.
# Every spelling of the directive counts ("#  include", <...> as well as "..."). The build refuses
# most of these too; this names them all at once. Usage: check-layers.sh [ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"
folders=(core io commands ui cli tools fuzz bench)
existing=()
for folder in "${folders[@]}"; do [ -d "$folder" ] && existing+=("$folder"); done
[ ${#existing[@]} -gt 0 ] || { echo "check-layers: no source folders under $root" >&2; exit 2; }

grep -rnE --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.cc' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "${existing[@]}" |
    awk '
    BEGIN {
        allowed["core"] = "core"
        allowed["io"] = "core io"
        allowed["commands"] = "core io commands"
        allowed["ui"] = "core io commands ui"
        allowed["cli"] = "core io cli"
        allowed["tools"] = "core io tools"
        allowed["fuzz"] = "core io fuzz"
        allowed["bench"] = "core io commands ui cli tools bench"
        split("core io commands ui cli tools fuzz bench tests", names, " ")
        for (i in names) project[names[i]] = 1
        split("text genotype table matching/kernel matching statistics", rooms, " ")
        for (i in rooms) rank[rooms[i]] = i
        bad = 0
    }
    function roomOf(path,   parts, n) {
        n = split(path, parts, "/")
        if (n <= 2) return 0                       # core/Error.h: below every room
        if (parts[2] == "matching" && parts[3] == "kernel" && n > 3) return rank["matching/kernel"]
        return rank[parts[2]]
    }
    function refuse(where, target, why) {
        print where ": " target " (" why ")"
        bad = 1
    }
    {
        where = $0
        sub(/:[[:space:]]*#.*/, "", where)
        file = where; sub(/:[0-9]+$/, "", file)
        target = $0
        sub(/^[^#]*#[[:space:]]*include[[:space:]]*[<"]/, "", target)
        sub(/[>"].*$/, "", target)
        split(file, fileParts, "/"); layer = fileParts[1]
        if (target ~ /(^|\/)\.\.(\/|$)/) { refuse(where, target, "an include through \"..\""); next }
        split(target, targetParts, "/")
        top = targetParts[1]
        if (!(top in project) || index(target, "/") == 0) next
        if (index(" " allowed[layer] " ", " " top " ") == 0) {
            refuse(where, target, layer " may not include " top)
            next
        }
        if (layer == "core" && top == "core" && roomOf(target) > roomOf(file))
            refuse(where, target, "a lower room of core includes a higher one")
    }
    END { exit bad }
    ' || { echo "check-layers: includes upward, listed above" >&2; exit 1; }
