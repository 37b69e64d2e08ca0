#!/usr/bin/env bash
# Each source folder builds only on the folders below it. This check fails
# when a file includes a header of a folder above its own.
#
#   scripts/check_layers.sh [source root]
#
# The order, lowest first, lives here and nowhere else:
LAYERS=(core datasource addon widgets analysis strategy pages app)

set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# One pass over every source file of the layers: "file:line:header" for each
# quoted include that names a folder, judged against the rank of both folders.
folders=()
for layer in "${LAYERS[@]}"; do
    [[ -d $root/$layer ]] && folders+=("$root/$layer")
done
if (( ${#folders[@]} == 0 )); then
    echo "no layer folder under $root"
    exit 1
fi
report=$(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 \
    | { xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' || true; } \
    | awk -v root="$root/" -v order="${LAYERS[*]}" '
        BEGIN {
            n = split(order, names, " ")
            for (i = 1; i <= n; ++i) rank[names[i]] = i
            # tests and benchmarks sit above everything: no source file may use them
            rank["tests"] = n + 1; rank["bench"] = n + 1
        }
        {
            file = $0; sub(/:.*/, "", file)
            rest = substr($0, length(file) + 2)
            line = rest; sub(/:.*/, "", line)
            header = rest; sub(/^[^"]*"/, "", header); sub(/".*/, "", header)
            own = substr(file, length(root) + 1); sub(/\/.*/, "", own)
            used = header; sub(/\/.*/, "", used)
            if ((used in rank) && rank[used] > rank[own])
                printf "%s:%s: includes \"%s\" of a folder above %s/\n", substr(file, length(root) + 1), line, header, own
        }')
faults=0
if [[ -n $report ]]; then
    echo "$report"
    faults=$(grep -c . <<<"$report")
fi

if (( faults > 0 )); then
    echo "$faults include(s) against the layer order: ${LAYERS[*]}"
    exit 1
fi
echo "layers in order: ${LAYERS[*]}"
