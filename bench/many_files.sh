#!/usr/bin/env bash
# Many small files: FILES files of 100 KB, each its own URL in one list,
# fetched by tandu-cli (add-list, then get --all -j 8), aria2c -i LIST -j 8,
# wget -i LIST and curl --parallel (8 at once), from nginx on plain loopback
# and over a path where every round trip costs 20 ms (a second private
# namespace behind a delaying TUN pair, as this kernel may have no netem).
# Prints files per second for each tool and path.
#
#   bash bench/many_files.sh [PROGRAM-DIR] [FILES]   (as root; default build/bin, 1000)
#   TANDU_CONNECTIONS=N sets Tandu's connections per download (default 4).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bin}" && pwd)
files=${2:-1000}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$build" "$files"
source "$root/bench/lib.sh"
bench_require nginx aria2c wget curl python3 nsenter
connections=${TANDU_CONNECTIONS:-4}
jobs=8
cap=900

work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'bench_nginx_stop "$work/near"; bench_nginx_stop "$work/far"; stop_delay_line; rm -rf "$work"' EXIT
mkdir -p "$work/www"
head -c $((files * 102400)) /dev/urandom |
    split -b 102400 -d -a 5 --additional-suffix=.bin - "$work/www/f"
bench_nginx "$work/near" "$work/www" "127.0.0.1:80" "sendfile on;"
bench_wait_port 127.0.0.1 80
start_delay_line 10 "$work" $((cap * 8))
bench_nginx "$work/far" "$work/www" "10.77.0.2:80" "sendfile on;" "nsenter -t $far_pid -n"
bench_wait_port 10.77.0.2 80

if tandu_has_jobs "$build"; then
    tandu_get=(get --all -j "$jobs")
    tandu_label="tandu -j $jobs"
else
    tandu_get=(get --all)
    tandu_label="tandu 1 at a time (no -j)"
    echo "note: this tandu-cli has no -j; Tandu fetches the list one download at a time" >&2
fi

# Marks the last result "wrong" unless every served file arrived intact.
check_all() {
    local out=$1 name
    for name in "$work/www"/*; do
        cmp -s "$name" "$out/$(basename "$name")" || {
            sed -i '$ s/ ok$/ wrong/' "$work/results"
            return
        }
    done
}

# One tool's run: $1 label, $2 host, then the command. Also notes how many
# connections and requests nginx saw (less the status page's own).
fetch() {
    local label=$1 host=$2 before after
    shift 2
    rm -rf "$work/out" && mkdir -p "$work/out"
    before=$(bench_nginx_counts "$host")
    bench_measure "$label" "$work/results" 0 "$cap" "$@"
    check_all "$work/out"
    after=$(bench_nginx_counts "$host")
    echo "$label|$before|$after" >>"$work/counts"
}

# $1 path label, $2 host.
run_path() {
    local path=$1 host=$2 out=$work/out
    (cd "$work/www" && for name in *; do echo "http://$host/$name"; done) >"$work/list"
    sed 's/.*/url = "&"/' "$work/list" >"$work/curl.cfg"

    echo "$path: $tandu_label, $connections connections each" >&2
    # Empty before adding: a file already there gets a numbered name instead.
    rm -rf "$work/prog" "$out" && make_program "$build" "$work/prog" && mkdir -p "$out"
    "$work/prog/tandu-cli" add-list "$work/list" -d "$out" -n "$connections" >/dev/null
    fetch "$path|$tandu_label" "$host" "$work/prog/tandu-cli" "${tandu_get[@]}"

    echo "$path: aria2c, wget, curl" >&2
    fetch "$path|aria2c -j $jobs" "$host" \
        aria2c -q -i "$work/list" -j "$jobs" -d "$out" --allow-overwrite=true
    fetch "$path|wget" "$host" wget -q -i "$work/list" -P "$out"
    fetch "$path|curl -Z $jobs" "$host" curl -s -Z --parallel-max "$jobs" \
        --remote-name-all --output-dir "$out" -K "$work/curl.cfg"
}

run_path loopback 127.0.0.1
run_path 20ms 10.77.0.2

python3 - "$work/results" "$work/counts" "$files" <<'PY'
import sys
results, counts, files = sys.argv[1], sys.argv[2], int(sys.argv[3])
rows, paths = {}, []
for line in open(results):
    label, wall, cpu, rss, tail, status = line.rstrip("\n").rsplit(" ", 5)
    path, tool = label.split("|")
    if path not in paths:
        paths.append(path)
    rows.setdefault(tool, {})[path] = (float(wall), float(cpu), status.strip())
print(f"{files} files of 100 KB from nginx, one URL each; files per second (wall s, CPU s)")
print(f"{'tool':28}" + "".join(f"{p:>28}" for p in paths))
for tool, by_path in rows.items():
    cells = []
    for p in paths:
        wall, cpu, status = by_path[p]
        rate = f"{files / wall:.1f}" if status == "ok" else status
        cells.append(f"{rate:>10} ({wall:7.2f} s, {cpu:6.2f})")
    print(f"{tool:28}" + "".join(f"{c:>28}" for c in cells))
print()
print(f"{'per file, as nginx saw it':38} {'connections':>12} {'requests':>9}")
for line in open(counts):
    path, tool, before, after = line.strip().split("|")
    (c0, r0), (c1, r1) = (map(int, x.split()) for x in (before, after))
    print(f"{path + ' ' + tool:38} {(c1 - c0 - 1) / files:12.2f} {(r1 - r0 - 1) / files:9.2f}")
PY
