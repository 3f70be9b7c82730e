#!/usr/bin/env bash
# Installs a built tree into a scratch folder as a package would, checks the desktop entry, the
# AppStream file, the manual pages and the batch tool's bash completion, and runs the installed
# batch tool on the installed examples: scripts/check-install.sh [BUILD-FOLDER].
# scripts/package.sh builds the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
destination=$(mktemp -d)
trap 'rm -rf "$destination"' EXIT
DESTDIR="$destination" cmake --install "$build" >/dev/null
root="$destination$(cmake -L -N "$build" | sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p')"

id=org.tarnwick.tarnwick
desktop-file-validate "$root/share/applications/$id.desktop"
appstreamcli validate --pedantic --no-net "$root/share/metainfo/$id.metainfo.xml"
for page in "$root"/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done
"$root/bin/tarnwick-cli" --version
completion="$root/share/bash-completion/completions/tarnwick-cli"
replies=$(bash -c 'source "$1"; COMP_WORDS=(tarnwick-cli match x --st) COMP_CWORD=3
    _tarnwick_cli; echo "${COMPREPLY[*]}"' completion "$completion")
[ "$replies" = "--steps" ] || { echo "$completion: \"match x --st\" completes to \"$replies\""; exit 1; }
examples="$root/share/tarnwick/examples"
"$root/bin/tarnwick-cli" match "$examples/database.xlsx" "$examples/search.xlsx" --steps 2 \
    --by-haplotype "$destination/matches.csv" 2>/dev/null
[ "$(wc -l <"$destination/matches.csv")" -gt 1 ] || { echo "the installed match found nothing"; exit 1; }
echo "installed tree checked"
