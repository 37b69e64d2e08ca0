#!/usr/bin/env bash
# Brings the build's parts into the user's working folder and prints its path:
# the program, its libraries (lib/), config/data.db, the add-ons and the
# assets. What the user's runs keep there (config/config.ini, data/, output/,
# output.txt, crash/, add-ons of their own) is never touched.
#
#   scripts/workdir.sh [build folder]
#
# The working folder is $VOREL_WORK_DIR when set, else $XDG_DATA_HOME/VorelStock
# (by default ~/.local/share/VorelStock).
set -euo pipefail
build_dir=${1:-build}
staged=$build_dir/run
work=${VOREL_WORK_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/VorelStock}

if [ ! -x "$staged/VorelStock" ]; then
    echo "no program in $staged: build first (make run builds it)" >&2
    exit 1
fi

# Each part goes in under a temporary name and is renamed over the old one: a
# program still running from the folder keeps the files it has open, and a
# copy cut short never stands in for a part.
put() {
    local from=$1 to=$2
    mkdir -p "$(dirname "$to")"
    cp "$from" "$to.new.$$"
    mv -f "$to.new.$$" "$to"
}

mkdir -p "$work"
(cd "$staged" && find VorelStock lib config/data.db addon assets -type f) | while IFS= read -r part; do
    put "$staged/$part" "$work/$part"
done
echo "$work"
