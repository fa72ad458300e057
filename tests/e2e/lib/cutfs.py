"""cutfs.py MOUNTPOINT SEED: a FUSE disk in memory that keeps synced bytes and names apart.
"cut" written to /.cut drops all that is unsynced; "harsh" first lets a random half through."""
import errno, random, stat, sys
from fusepy import FUSE, FuseOSError, Operations


class Node:
    def __init__(self, mode):
        self.mode, self.names, self.kept_names = mode, {}, {}
        self.data, self.kept = bytearray(), b""


class CutFs(Operations):
    def __init__(self, seed):
        self.nodes, self.random = [Node(stat.S_IFDIR | 0o755)], random.Random(seed)

    def find(self, path):
        node = self.nodes[0]
        for part in filter(None, path.split("/")):
            if part not in node.names:
                raise FuseOSError(errno.ENOENT)
            node = node.names[part]
        return node

    def parent(self, path): return self.find(path.rpartition("/")[0]), path.rpartition("/")[2]

    def cut(self, harsh):
        coin = lambda: harsh and self.random.random() < 0.5
        for node in self.nodes:
            n = len(node.data) if coin() else len(node.kept)  # did the size reach the disk?
            page = lambda src, at: bytes(src[at:at + 4096]).ljust(min(4096, n - at), b"\0")
            pages = (page(node.data if coin() else node.kept, at) for at in range(0, n, 4096))
            node.kept = b"".join(pages)
            node.data = bytearray(node.kept)
            for name in set(node.names) | set(node.kept_names):
                if node.names.get(name) is not node.kept_names.get(name) and coin():
                    if name in node.names:
                        node.kept_names[name] = node.names[name]
                    else:
                        del node.kept_names[name]
            node.names = dict(node.kept_names)

    def getattr(self, path, fh=None):
        node = Node(stat.S_IFREG | 0o666) if path == "/.cut" else self.find(path)
        return {"st_mode": node.mode, "st_size": len(node.data), "st_nlink": 1}

    def readdir(self, path, fh): return [".", ".."] + list(self.find(path).names)

    def create(self, path, mode, fi=None):
        folder, name = self.parent(path)
        folder.names[name] = Node(mode)
        self.nodes.append(folder.names[name])
        return 0

    def mkdir(self, path, mode): self.create(path, stat.S_IFDIR | mode)

    def read(self, path, size, offset, fh): return bytes(self.find(path).data[offset:offset + size])

    def write(self, path, data, offset, fh):
        if path == "/.cut":
            self.cut(data.strip() == b"harsh")
        else:
            node = self.find(path)
            node.data.extend(bytes(max(0, offset - len(node.data))))
            node.data[offset:offset + len(data)] = data
        return len(data)

    def truncate(self, path, length, fh=None):
        if path != "/.cut":
            node = self.find(path)
            node.data = bytearray(node.data[:length].ljust(length, b"\0"))

    def unlink(self, path):
        folder, name = self.parent(path)
        del folder.names[name]

    def rename(self, old, new):
        folder, name = self.parent(old)
        target, new_name = self.parent(new)
        target.names[new_name] = folder.names.pop(name)

    def fsync(self, path, datasync, fh):
        node = self.find(path)
        node.kept, node.kept_names = bytes(node.data), dict(node.names)

    fsyncdir = fsync


FUSE(CutFs(int(sys.argv[2])), sys.argv[1], foreground=True, nothreads=True, direct_io=True,
     attr_timeout=0, entry_timeout=0, negative_timeout=0)
