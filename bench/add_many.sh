#!/usr/bin/env bash
# Adds 10,000 downloads three ways through tandu-cli (the same dialogs and add
# steps the window uses) and prints the wall-clock time of each run; then the
# same through the real window (offscreen), with how often its list painted
# and the longest time its event loop had no turn.
#   bash bench/add_many.sh [PROGRAM_DIR] [COUNT]
set -euo pipefail
program_dir=${1:-build/bin}
window_bench=$(cd "$(dirname "$0")/.." && pwd)/build/bench-bin/tandu_bench_window
count=${2:-10000}
runs=${RUNS:-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program_dir/tandu-cli" "$work/"
mkdir -p "$work/dl"
printf '1.0\r\n4\r\n%s\r\n512KB\r\n' "$work/dl" >"$work/config.cfg"
for i in $(seq 1 "$count"); do echo "http://bench.invalid/files/f$i.bin"; done >"$work/list.txt"

measure() {  # label, command...
    local label=$1
    shift
    local times=()
    for _ in $(seq 1 "$runs"); do
        rm -rf "$work/definitions" && mkdir "$work/definitions"
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        local added
        added=$(find "$work/definitions" -name '*.def' | wc -l)
        [ "$added" -eq "$count" ] || { echo "$label: added $added of $count" >&2; exit 1; }
        times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }')")
    done
    printf '%-28s %s s (runs: %s)\n' "$label" \
        "$(printf '%s\n' "${times[@]}" | sort -n | head -1)" "${times[*]}"
}

cd "$work"
echo "adding $count downloads, best of $runs runs"
measure "add-list (distinct names)" ./tandu-cli add-list list.txt
measure "add-seq (distinct names)" ./tandu-cli add-seq "http://bench.invalid/s#.bin" 1 "$count" -w 5
measure "add-seq (one name, numbered)" ./tandu-cli add-seq "http://bench.invalid/same.bin" 1 "$count"

if [ -x "$window_bench" ]; then
    echo "through the window"
    QT_QPA_PLATFORM=offscreen "$window_bench" "$count" 2>/dev/null
fi
