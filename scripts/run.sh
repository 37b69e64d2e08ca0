#!/usr/bin/env bash
# Starts the program in its working folder; offscreen when there is no display.
set -euo pipefail
build_dir=${1:-build}
cd "$build_dir/run"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi
exec ./VorelStock
