#!/usr/bin/python3
"""A disk that loses what was not synced, for power-cut tests: a FUSE file
system in memory that keeps each file's synced bytes and each folder's synced
names apart from what was written since. Writing "cut" to /.cut drops
everything unsynced; "harsh" lets a random part of the unsynced pages, sizes
and names reach the disk first, as a kernel's writeback might. Syncs are
counted in /.syncs ("file-syncs folder-syncs bytes-written").

    /usr/bin/python3 cutfs.py MOUNTPOINT SEED
"""
import errno
import random
import stat
import sys
import threading
import time

from fusepy import FUSE, FuseOSError, Operations

PAGE = 4096


class Node:
    def __init__(self, mode):
        self.mode = mode
        self.data, self.synced = bytearray(), bytearray()  # files
        self.names, self.synced_names = {}, {}  # folders: name -> Node


class CutFs(Operations):
    def __init__(self, seed):
        self.root = Node(stat.S_IFDIR | 0o755)
        self.nodes = [self.root]
        self.lock = threading.Lock()
        self.random = random.Random(seed)
        self.counts = [0, 0, 0]

    def __call__(self, op, path, *args):
        with self.lock:
            return super().__call__(op, path, *args)

    def find(self, path):
        node = self.root
        for part in filter(None, path.split("/")):
            if not stat.S_ISDIR(node.mode) or part not in node.names:
                raise FuseOSError(errno.ENOENT)
            node = node.names[part]
        return node

    def parent(self, path):
        folder, _, name = path.rpartition("/")
        return self.find(folder), name

    def cut(self, harsh):
        for node in self.nodes:
            if harsh:
                size = self.random.choice([len(node.synced), len(node.data)])
                merged = bytearray(node.synced[:size].ljust(size, b"\0"))
                for at in range(0, min(size, len(node.data)), PAGE):
                    if self.random.random() < 0.5:
                        merged[at:at + PAGE] = node.data[at:min(at + PAGE, size)]
                node.synced = merged
                for name in set(node.names) | set(node.synced_names):
                    if self.random.random() < 0.5:
                        if name in node.names:
                            node.synced_names[name] = node.names[name]
                        else:
                            node.synced_names.pop(name, None)
            node.data = bytearray(node.synced)
            node.names = dict(node.synced_names)

    def getattr(self, path, fh=None):
        if path == "/.syncs":
            return {"st_mode": stat.S_IFREG | 0o444, "st_size": 64, "st_nlink": 1}
        if path == "/.cut":
            return {"st_mode": stat.S_IFREG | 0o222, "st_size": 0, "st_nlink": 1}
        node = self.find(path)
        now = time.time()
        return {"st_mode": node.mode, "st_size": len(node.data), "st_nlink": 1,
                "st_atime": now, "st_mtime": now, "st_ctime": now}

    def readdir(self, path, fh):
        return [".", ".."] + list(self.find(path).names)

    def add(self, path, mode):
        folder, name = self.parent(path)
        if name in folder.names:
            raise FuseOSError(errno.EEXIST)
        folder.names[name] = Node(mode)
        self.nodes.append(folder.names[name])

    def mkdir(self, path, mode):
        self.add(path, stat.S_IFDIR | mode)

    def create(self, path, mode, fi=None):
        self.add(path, stat.S_IFREG | (mode & 0o7777))
        return 0

    def open(self, path, flags):
        if path not in ("/.cut", "/.syncs"):
            self.find(path)
        return 0

    def read(self, path, size, offset, fh):
        if path == "/.syncs":
            return (" ".join(map(str, self.counts)) + "\n").encode()[offset:offset + size]
        return bytes(self.find(path).data[offset:offset + size])

    def write(self, path, data, offset, fh):
        if path == "/.cut":
            self.cut(data.strip() == b"harsh")
            return len(data)
        node = self.find(path)
        if len(node.data) < offset:
            node.data.extend(bytes(offset - len(node.data)))
        node.data[offset:offset + len(data)] = data
        self.counts[2] += len(data)
        return len(data)

    def truncate(self, path, length, fh=None):
        if path == "/.cut":
            return
        node = self.find(path)
        node.data = node.data[:length].ljust(length, b"\0")

    def unlink(self, path):
        folder, name = self.parent(path)
        self.find(path)
        del folder.names[name]

    rmdir = unlink

    def rename(self, old, new):
        node = self.find(old)
        folder, name = self.parent(old)
        target, new_name = self.parent(new)
        del folder.names[name]
        target.names[new_name] = node

    def fsync(self, path, datasync, fh):
        node = self.find(path)
        node.synced = bytearray(node.data)
        self.counts[0] += 1

    def fsyncdir(self, path, datasync, fh):
        node = self.find(path)
        node.synced_names = dict(node.names)
        self.counts[1] += 1

    def chmod(self, path, mode):
        return 0

    def chown(self, path, uid, gid):
        return 0

    def utimens(self, path, times=None):
        return 0

    def flush(self, path, fh):
        return 0

    def release(self, path, fh):
        return 0

    def opendir(self, path):
        self.find(path)
        return 0

    def releasedir(self, path, fh):
        return 0


if __name__ == "__main__":
    FUSE(CutFs(int(sys.argv[2])), sys.argv[1], foreground=True, nothreads=True,
         direct_io=True, attr_timeout=0, entry_timeout=0, negative_timeout=0,
         default_permissions=True)
