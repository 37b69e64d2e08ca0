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

part_list=$(cd "$staged" && find VorelStock lib config/data.db addon assets -type f)
mapfile -t parts <<<"$part_list"

# Each part goes in as "<part>.new.<pid of the run>" and is renamed over the
# old one: a program still running from the folder keeps the files it has
# open, and a copy cut short never stands in for a part.
put() {
    local from=$1 to=$2
    mkdir -p "$(dirname "$to")"
    cp "$from" "$to.new.$$"
    mv -f "$to.new.$$" "$to"
}

# Removes the staging copies of the runs `whose` names ("own" or "ended"). A
# run cut off by a signal it cannot trap (SIGKILL, a power cut) leaves its copy
# behind; the next run takes away those of every run that is gone. Only names
# of this build's parts with that exact mark go: a file of the user's named
# otherwise, or a copy of a run still going, stays.
clear_staging() {
    local whose=$1 part copy pid
    for part in "${parts[@]}"; do
        for copy in "$work/$part".new.*; do
            pid=${copy##*.new.}
            [[ -f $copy && $pid =~ ^[0-9]+$ ]] || continue
            if [ "$whose" = own ]; then
                [ "$pid" = $$ ] || continue
            elif [ "$pid" != $$ ] && kill -0 "$pid" 2>/dev/null; then
                continue
            fi
            rm -f -- "$copy"
        done
    done
}

mkdir -p "$work"
clear_staging ended
trap 'clear_staging own' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
for part in "${parts[@]}"; do
    put "$staged/$part" "$work/$part"
done
echo "$work"
