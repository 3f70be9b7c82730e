#!/usr/bin/env bash
# Fails when a file includes a layer above its own: core <- io <- commands <- ui, and cli on core
# and io only. (The build refuses such includes too; this names them all at once.)
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
check() { # folder, layers it must not include
    local folder=$1
    shift
    local pattern
    pattern="#include [<\"]($(IFS='|'; echo "$*"))/"
    if grep -rn -E "$pattern" "$folder" --include='*.h' --include='*.cpp'; then
        echo "check-layers: $folder includes a layer above it" >&2
        status=1
    fi
}
check core io commands ui cli
check io commands ui cli
check commands ui cli
check cli commands ui
exit $status
