#!/usr/bin/env python3
"""A network path with a fixed delay, for kernels without netem.

Creates the TUN device NEAR_IF in the current network namespace and FAR_IF in
the namespace of process FAR_PID, then carries every IP packet between them
after DELAY_MS milliseconds, so each round trip costs twice that. Writes
READY_FILE once both devices exist (the caller then gives them addresses) and
exits after LIFETIME seconds, or when the far namespace is gone. With LOSS
(a fraction, e.g. 0.002) each packet is dropped at random with that chance.

    delay_line.py NEAR_IF FAR_PID FAR_IF DELAY_MS READY_FILE LIFETIME [LOSS]
"""
import collections
import ctypes
import fcntl
import os
import random
import select
import struct
import sys
import time

TUNSETIFF = 0x400454CA
IFF_TUN = 0x0001
IFF_NO_PI = 0x1000
CLONE_NEWNET = 0x40000000


def open_tun(name):
    fd = os.open("/dev/net/tun", os.O_RDWR | os.O_NONBLOCK)
    fcntl.ioctl(fd, TUNSETIFF, struct.pack("16sH22x", name.encode(), IFF_TUN | IFF_NO_PI))
    return fd


def enter_netns(pid):
    libc = ctypes.CDLL(None, use_errno=True)
    ns = os.open(f"/proc/{pid}/ns/net", os.O_RDONLY)
    if libc.setns(ns, CLONE_NEWNET) != 0:
        raise OSError(ctypes.get_errno(), "setns")
    os.close(ns)


def main():
    near_name, far_pid, far_name, delay_ms, ready_file, lifetime = sys.argv[1:7]
    loss = float(sys.argv[7]) if len(sys.argv) > 7 else 0.0
    delay = float(delay_ms) / 1000
    near = open_tun(near_name)
    enter_netns(far_pid)
    far = open_tun(far_name)
    with open(ready_file, "w") as ready:
        ready.write("ready\n")

    other = {near: far, far: near}
    # One queue per direction; the delay is fixed, so each stays in time order.
    queues = {near: collections.deque(), far: collections.deque()}
    end = time.monotonic() + float(lifetime)
    while time.monotonic() < end and os.path.exists(f"/proc/{far_pid}"):
        now = time.monotonic()
        for source, queue in queues.items():
            while queue and queue[0][0] <= now:
                _, packet = queue.popleft()
                try:
                    os.write(other[source], packet)
                except OSError:
                    pass  # a full device queue drops the packet, as a real link would
        due = [q[0][0] for q in queues.values() if q]
        timeout = max(0.0, min(due) - time.monotonic()) if due else 0.5
        readable, _, _ = select.select([near, far], [], [], timeout)
        arrived = time.monotonic()
        for fd in readable:
            for _ in range(256):
                try:
                    packet = os.read(fd, 65536)
                except BlockingIOError:
                    break
                if not loss or random.random() >= loss:
                    queues[fd].append((arrived + delay, packet))


if __name__ == "__main__":
    main()
