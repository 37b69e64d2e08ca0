#!/usr/bin/env bash
# Brings the build's parts into the user's working folder and starts the
# program there; offscreen when there is no display. Ctrl+C (SIGINT) or SIGTERM
# end it in order: the windows close and the settings are written.
set -euo pipefail
build_dir=${1:-build}
work=$(bash "$(dirname "$0")/workdir.sh" "$build_dir")
cd "$work"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    echo "no display: the window is not shown (see README, \"Seeing the window\")" >&2
fi
# One line says what came in and where the program runs.
echo "working folder $work: the program, lib/, config/data.db, addon/ and assets/ brought in from $build_dir/run" >&2
exec ./VorelStock
