#!/usr/bin/env python3
"""Runs one command and appends one line to a results file:

    LABEL WALL CPU PEAK_RSS_KB TAIL STATUS

WALL and CPU (user + system of the command and its children, from wait4) are
seconds. TAIL is the seconds between the moment the command had received 95%
of --bytes and its end, from the received-byte count of --device (lo) in
this network namespace (sampled every 10 ms, so buffering in the tool does
not count; run alone in a private namespace); "-" without --bytes. STATUS is "ok",
"timeout" (killed after --timeout seconds; WALL is then the cap) or "exit:N".

    measure.py --label L --results FILE [--bytes N] [--device D] [--timeout S] -- CMD...
"""
import argparse
import os
import signal
import subprocess
import sys
import time


def received_bytes(device):
    with open("/proc/net/dev") as devices:
        for line in devices:
            name, _, figures = line.partition(":")
            if name.strip() == device:
                return int(figures.split()[0])
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--label", required=True)
    parser.add_argument("--results", required=True)
    parser.add_argument("--bytes", type=int, default=0)
    parser.add_argument("--device", default="lo")
    parser.add_argument("--timeout", type=float, default=600)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command

    base = received_bytes(args.device)
    start = time.monotonic()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, start_new_session=True)
    tail_start = None
    status = None
    while status is None:
        pid, code, usage = os.wait4(child.pid, os.WNOHANG)
        now = time.monotonic()
        if pid:
            status = "ok" if code == 0 else f"exit:{os.waitstatus_to_exitcode(code)}"
            break
        if args.bytes and tail_start is None:
            if received_bytes(args.device) - base >= 0.95 * args.bytes:
                tail_start = now
        if now - start > args.timeout:
            os.killpg(child.pid, signal.SIGKILL)
            pid, code, usage = os.wait4(child.pid, 0)
            status = "timeout"
            break
        time.sleep(0.01)
    end = time.monotonic()
    wall = end - start
    cpu = usage.ru_utime + usage.ru_stime
    tail = "-"
    if args.bytes:
        tail = f"{end - tail_start:.2f}" if tail_start is not None else f"{wall:.2f}"
    with open(args.results, "a") as results:
        results.write(f"{args.label} {wall:.3f} {cpu:.3f} {usage.ru_maxrss} {tail} {status}\n")
    return 0 if status == "ok" else 1


if __name__ == "__main__":
    sys.exit(main())
