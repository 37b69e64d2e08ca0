#!/usr/bin/env bash
# Installs every Debian package the build, the program and its tests need.
# Does nothing when all of them are present; otherwise refreshes the package
# lists once (a fresh machine has stale ones) and installs what is missing.
# `setup.sh fuzz` adds the clang tool chain of the fuzz build.
set -euo pipefail

packages=(
    g++ cmake ninja-build make zip
    qtbase5-dev qtbase5-private-dev libqt5sql5-sqlite libqt5webkit5-dev
    libqcustomplot-dev libqwt-qt5-dev libquazip1-qt5-dev
    qt5-style-plugins qttranslations5-l10n fonts-wqy-zenhei
    libbenchmark-dev xvfb xauth
)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
