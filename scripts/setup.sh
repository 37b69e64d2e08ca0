#!/usr/bin/env bash
# Installs every Debian package the build, the program and its tests need,
# make included: on a bare Debian 12 nothing but bash is assumed. Does nothing
# when all of them are present; otherwise refreshes the package lists once (a
# fresh machine has stale ones) and installs what is missing, as root or
# through sudo, from Debian's mirrors over the network. When it cannot, it
# says which is missing: the right (no root, no usable sudo) or the network.
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
        echo "set-up needs root to install Debian packages and sudo is not installed: run it as root" >&2
        exit 1
    fi
    # A password can be asked only on a terminal; without one, sudo must let
    # this user in as it is.
    if ! sudo -n true 2>/dev/null && ! { [ -t 0 ] && sudo -v; }; then
        echo "set-up needs root to install Debian packages: run it as root, or as a user with sudo rights" \
            "(sudo refused this user, or wants a password that cannot be asked here)" >&2
        exit 1
    fi
    as_root=(sudo "${as_root[@]}")
fi

# What apt-get says on its error stream is shown after each step and kept, to
# tell a missing network from other trouble: an update that cannot reach the
# mirrors still succeeds, and the install after it then finds no package.
apt_said=$(mktemp)
apt_errors=$(mktemp)
trap 'rm -f "$apt_said" "$apt_errors"' EXIT
network_words='Temporary failure resolving|Could not resolve|Could not connect|Unable to connect|Connection failed|Connection timed out|Network is unreachable|No route to host'

apt_step() {
    local status=0
    "${as_root[@]}" apt-get "$@" 2>"$apt_said" || status=$?
    cat "$apt_said" >&2
    cat "$apt_said" >>"$apt_errors"
    if [ "$status" -eq 0 ]; then
        return 0
    fi
    if grep -Eq "$network_words" "$apt_errors"; then
        echo "set-up cannot reach Debian's mirrors: it needs the network (apt-get's words above)" >&2
    else
        echo "apt-get $1 failed (its words above)" >&2
    fi
    exit 1
}

apt_step update -qq
apt_step install -y -qq --no-install-recommends "${missing[@]}"
