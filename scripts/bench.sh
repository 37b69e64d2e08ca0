#!/usr/bin/env bash
# Runs every benchmark of the build; one that fails does not keep the others
# from running, and the script then ends with a failure.
set -euo pipefail
build_dir=${1:-build}
# Benchmarks that draw need no screen.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
found=0
failed=()
for bench in "$build_dir"/bench/bench_*; do
    # CMake keeps bench_*_autogen folders beside the programs: only files run.
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    found=1
    echo "== $(basename "$bench")"
    "$bench" || failed+=("$(basename "$bench")")
done
if [ "$found" -eq 0 ]; then
    echo "no benchmark programs in $build_dir/bench" >&2
    exit 1
fi
if [ "${#failed[@]}" -gt 0 ]; then
    echo "failed: ${failed[*]}" >&2
    exit 1
fi
