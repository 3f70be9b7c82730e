#!/usr/bin/env bash
# Installs the Debian packages Tarnwick builds and tests with, those missing only.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libgsf-1-dev libexpat1-dev libxlsxwriter-dev libboost-math-dev libcli11-dev libeigen3-dev
    zlib1g-dev libcairo2-dev # plots drawn by the batch tool
    qt6-base-dev qt6-svg-dev qt6-qpa-plugins qt6-tools-dev qt6-l10n-tools libxcb1-dev
    fonts-dejavu-core fonts-liberation2
    clang libclang-rt-14-dev clang-tidy
    locales-all # a locale with a decimal comma, for the tests
    desktop-file-utils appstream man-db dpkg-dev file # checks of the installed files, the package
    lintian devscripts # the package's checks (hardening-check is in devscripts)
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
