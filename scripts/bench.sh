#!/usr/bin/env bash
# Runs every benchmark of the build.
set -euo pipefail
build_dir=${1:-build}
for bench in "$build_dir"/bench/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench"
done
