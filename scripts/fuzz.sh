#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in their own build
# folder and runs each for FUZZ_SECONDS (60 by default), starting from the
# committed seed corpus. What a run learns stays in the build folder; inputs
# that crash, hang, leak or run into undefined behaviour land in its
# "findings" folder, and the script fails when there is any.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-$(nproc)}

bash "$source_dir/scripts/setup.sh" fuzz

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVOREL_FUZZ=ON "${launcher[@]}"
cmake --build "$build_dir" --target fuzz_targets -j "$jobs"

families=$(cd "$source_dir/tests/fuzz/corpus" && ls)
findings=$build_dir/findings
rm -rf "$findings"
mkdir -p "$findings" "$build_dir/fuzz-logs"

run_family() {
    local family=$1
    local corpus=$build_dir/fuzz-corpus/$family
    mkdir -p "$corpus"
    # A single input may take 10 s at most: a parser that slows down with the
    # length of a hostile page shows as a hang here. Slower units short of
    # that are left unreported: on a busy machine they are only the load.
    "$build_dir/tests/fuzz/fuzz_$family" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -report_slow_units=30 -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/$family-" \
        "$corpus" "$source_dir/tests/fuzz/corpus/$family" >"$build_dir/fuzz-logs/$family.log" 2>&1
}
export -f run_family
export build_dir source_dir seconds findings

status=0
printf '%s\n' $families | xargs -P "$jobs" -I{} bash -c 'run_family {}' || status=1

printf '%-16s %14s %s\n' target executions findings
for family in $families; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build_dir/fuzz-logs/$family.log" | tail -1)
    found=$(find "$findings" -name "$family-*" | wc -l)
    printf '%-16s %14s %s\n' "$family" "${runs:-?}" "$found"
done
if [ "$status" -ne 0 ]; then
    echo "findings: see $findings and the logs in $build_dir/fuzz-logs"
fi
exit "$status"
