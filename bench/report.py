#!/usr/bin/env python3
"""Prints a benchmark's table from the results file (bench/measure.py lines,
labels "GROUP|TOOL") and the served file (lines "GROUP|TOOL REQUESTS BYTES",
what the server answered for that run): per group and tool the median wall
time, the median seconds on the last 5% (when measured), the requests per
file and the bytes the server sent against the file's size, then each
group's ratios of LEAD to every other tool.

    report.py --results R --served S --size BYTES [--files N] [--lead TOOL] --title TEXT
"""
import argparse
import statistics


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--results", required=True)
    parser.add_argument("--served", required=True)
    parser.add_argument("--size", type=int, required=True, help="bytes of all files of one run")
    parser.add_argument("--files", type=int, default=1)
    parser.add_argument("--lead", default="tandu-16")
    parser.add_argument("--title", required=True)
    args = parser.parse_args()

    runs, served, order = {}, {}, []
    for line in open(args.results):
        label, wall, cpu, rss, tail, status = line.rstrip("\n").rsplit(" ", 5)
        group, tool = label.split("|")
        if (group, tool) not in order:
            order.append((group, tool))
        runs.setdefault((group, tool), []).append((float(wall), tail, status))
    for line in open(args.served):
        label, requests, sent = line.split()
        served.setdefault(tuple(label.split("|")), []).append((int(requests), int(sent)))

    print(args.title)
    print(f"{'':12} {'tool':14} {'wall s':>8} {'last 5%':>8} {'req/file':>9} {'sent/size':>10}"
          "  rounds (wall s)")
    groups = []
    for group, tool in order:
        if group not in groups:
            groups.append(group)
        r = runs[(group, tool)]
        wall = statistics.median(w for w, _, _ in r)
        tails = [float(t) for _, t, _ in r if t != "-"]
        tail = f"{statistics.median(tails):8.2f}" if tails else f"{'-':>8}"
        s = served.get((group, tool), [])
        requests = statistics.median(n for n, _ in s) / args.files if s else float("nan")
        ratio = statistics.median(b for _, b in s) / args.size if s else float("nan")
        each = " ".join(f"{w:.2f}" + ("" if st == "ok" else f"[{st}]") for w, _, st in r)
        print(f"{group:12} {tool:14} {wall:8.2f} {tail} {requests:9.2f} {ratio:10.3f}  {each}")
    print()
    for group in groups:
        tools = [t for g, t in order if g == group]
        if args.lead not in tools:
            continue
        lead = statistics.median(w for w, _, _ in runs[(group, args.lead)])
        ratios = ", ".join(
            f"{tool} x{lead / statistics.median(w for w, _, _ in runs[(group, tool)]):.2f}"
            for tool in tools if tool != args.lead)
        print(f"{group}: {args.lead} time / {ratios}")


if __name__ == "__main__":
    main()
