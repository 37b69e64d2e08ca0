#!/usr/bin/env bash
# Each source folder builds only on the folders below it. This check fails
# when a file includes a header of a folder above its own, and when two files
# include each other.
#
#   scripts/check_layers.sh [source root]
#
# The order, lowest first, lives here and nowhere else:
LAYERS=(core datasource addon widgets analysis strategy pages app)
#
# A folder may also build an inner library below the rest of the folder, of
# its files that need QtCore only; its CMakeLists.txt names them in the list
# INNER_SOURCES. A file of an inner library fails the check when it includes
# a header of the rest of its own folder, or of the rest of a lower folder
# that has an inner library too.
#
# A header and its source file (name.h, name.cpp) count as one file here:
# two such files include each other when either part of each includes the
# other's header. Their loop is named once, at both includes.

set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# One pass over every source file of the layers: "file:line:header" for each
# quoted include that names a folder, judged against the rank of both folders
# and against the includes of the included file. The lines come in file and
# line order, so that each loop is named at the same two includes every time.
folders=()
inner=()
for layer in "${LAYERS[@]}"; do
    [[ -d $root/$layer ]] || continue
    folders+=("$root/$layer")
    # the words of "set(INNER_SOURCES" up to its closing parenthesis, comments left out
    if [[ -f $root/$layer/CMakeLists.txt ]]; then
        for file in $(awk '/^[[:space:]]*set\(INNER_SOURCES/ { listing = 1; next }
                           listing && /^[[:space:]]*\)/ { exit }
                           listing { sub(/#.*/, ""); print }' "$root/$layer/CMakeLists.txt"); do
            inner+=("$layer/$file")
        done
    fi
done
if (( ${#folders[@]} == 0 )); then
    echo "no layer folder under $root"
    exit 1
fi
report=$(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 \
    | { xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' || true; } \
    | sort -t: -k1,1 -k2,2n \
    | awk -v root="$root/" -v order="${LAYERS[*]}" -v innerfiles="${inner[*]}" '
        BEGIN {
            n = split(order, names, " ")
            for (i = 1; i <= n; ++i) rank[names[i]] = i
            # tests and benchmarks sit above everything: no source file may use them
            rank["tests"] = n + 1; rank["bench"] = n + 1
            m = split(innerfiles, files, " ")
            for (i = 1; i <= m; ++i) {
                isInner[files[i]] = 1
                folder = files[i]; sub(/\/.*/, "", folder)
                hasInner[folder] = 1
            }
        }
        {
            file = $0; sub(/:.*/, "", file)
            rest = substr($0, length(file) + 2)
            line = rest; sub(/:.*/, "", line)
            header = rest; sub(/^[^"]*"/, "", header); sub(/".*/, "", header)
            name = substr(file, length(root) + 1)
            own = name; sub(/\/.*/, "", own)
            used = header; sub(/\/.*/, "", used)
            if ((used in rank) && rank[used] > rank[own])
                printf "%s:%s: includes \"%s\" of a folder above %s/\n", name, line, header, own
            else if ((name in isInner) && (used in hasInner) && !(header in isInner))
                printf "%s:%s: includes \"%s\" of the outer library of %s/ into an inner library\n", name, line, header, used
            # the first include of each file (header and source as one) by each other one
            from = name; sub(/\.[^.\/]*$/, "", from)
            to = header; sub(/\.[^.\/]*$/, "", to)
            if ((used in rank) && from != to && !((from, to) in place)) {
                place[from, to] = name ":" line
                included[from, to] = header
            }
        }
        END {
            for (pair in place) {
                split(pair, ends, SUBSEP)
                if (ends[1] < ends[2] && ((ends[2], ends[1]) in place))
                    printf "%s: includes \"%s\", and %s includes \"%s\" back\n", place[pair], included[pair],
                        place[ends[2], ends[1]], included[ends[2], ends[1]]
            }
        }' | sort -t: -k1,1 -k2,2n)
faults=0
if [[ -n $report ]]; then
    echo "$report"
    faults=$(grep -c . <<<"$report")
fi

if (( faults > 0 )); then
    echo "$faults include(s) against the layer order (${LAYERS[*]}) or in a loop"
    exit 1
fi
echo "layers in order: ${LAYERS[*]}"
