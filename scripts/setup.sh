#!/usr/bin/env bash
# Installs every Debian package the build, the program and its tests need,
# make included: on a bare Debian 12 nothing but bash is assumed. Does nothing
# when all of them are present; otherwise refreshes the package lists once (a
# fresh machine has stale ones) and installs what is missing, as root or
# through sudo, from Debian's mirrors over the network.
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
# sudo clears the environment: the setting that keeps apt from asking
# questions goes on its command line.
as_root=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "installing Debian packages needs root: run this as root, or as a user with sudo rights" >&2
        exit 1
    fi
    as_root=(sudo "${as_root[@]}")
fi
if ! "${as_root[@]}" apt-get update -qq; then
    echo "cannot refresh the package lists: set-up needs the network to reach Debian's mirrors" >&2
    exit 1
fi
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
