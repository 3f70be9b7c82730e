#!/usr/bin/env bash
# Builds the Debian packages (tarnwick and tarnwick-dbgsym) as a Debian build would: an optimised
# build with the hardening flags of dpkg-buildflags, warnings as errors, installed under /usr,
# with SOURCE_DATE_EPOCH at the last commit's time so that two builds give the same bytes. Then
# lintian must find no error or warning (none is overridden today; an override would go, with its
# reason, in packaging/tarnwick.lintian-overrides installed as usr/share/lintian/overrides/tarnwick)
# and hardening-check must find the programs hardened: scripts/package.sh [BUILD-FOLDER]
# (JOBS=N sets the build's parallel jobs.)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
jobs=${JOBS:-$(nproc)}

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flag() { dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTARNWICK_WERROR=ON -DTARNWICK_BENCHMARKS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$(flag CPPFLAGS) $(flag CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flag LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flag LDFLAGS)" \
    >/dev/null
cmake --build "$build" --target tarnwick tarnwick-cli tarnwick-cli-reference-files -j "$jobs"
rm -f "$build"/tarnwick*.deb "$build"/tarnwick*.ddeb
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/tarnwick_*_amd64.deb)
symbols=$(ls "$build"/tarnwick-dbgsym_*_amd64.ddeb)

# CPack's symbols package lists its files in md5sums by absolute build paths, leaves the split
# symbols executable and has no documentation folder: mended as dh_strip makes one, its
# documentation a link to tarnwick's (which it depends on).
mended=$(mktemp -d)
trap 'rm -rf "$mended"' EXIT
dpkg-deb --raw-extract "$symbols" "$mended/root"
find "$mended/root/usr/lib/debug" -type f -exec chmod 0644 {} +
mkdir -p "$mended/root/usr/share/doc"
ln -s tarnwick "$mended/root/usr/share/doc/tarnwick-dbgsym"
(cd "$mended/root" && find usr -type f -printf '%P\n' | LC_ALL=C sort |
    sed 's|^|usr/|' | xargs md5sum >DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz --build "$mended/root" "$symbols" >/dev/null

# Every error and warning fails, pedantic notes are shown.
lintian --pedantic --info --display-experimental --fail-on error,warning "$package" "$symbols"

unpacked=$(mktemp -d)
trap 'rm -rf "$mended" "$unpacked"' EXIT
dpkg-deb --extract "$package" "$unpacked"
programs=("$unpacked"/usr/bin/tarnwick "$unpacked"/usr/bin/tarnwick-cli)
hardening-check "${programs[@]}" || true
# Required: PIE, stack protector, RELRO and bind-now. Not required: FORTIFY, which finds nothing
# to protect where the only fortifiable calls are memcpy and memset with sizes known only at
# run time ("only unprotected functions found"), and control-flow protection, which bookworm's
# dpkg-buildflags does not ask for.
hardening-check --quiet --nofortify --nocfprotection "${programs[@]}"

dpkg-deb --field "$package" Package Version Section Depends Recommends
ls -l "$package" "$symbols"
