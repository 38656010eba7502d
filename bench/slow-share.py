#!/usr/bin/python3
"""A read-only FUSE mirror of a folder whose every folder listing waits a fixed
time first, as a file share with network latency does.

    slow-share.py SOURCE MOUNTPOINT [--wait-ms 2]

Runs in the foreground until unmounted (fusermount -u MOUNTPOINT).
"""
import argparse
import errno
import os
import time

try:
    from fusepy import FUSE, FuseOSError, Operations  # Debian's python3-fusepy
except ImportError:
    from fuse import FUSE, FuseOSError, Operations


class SlowMirror(Operations):
    def __init__(self, source, wait):
        self.source = source
        self.wait = wait

    def _real(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._real(path))
        except OSError as e:
            raise FuseOSError(e.errno)
        return {key: getattr(st, key) for key in
                ("st_mode", "st_nlink", "st_uid", "st_gid", "st_size", "st_atime", "st_mtime", "st_ctime")}

    def readdir(self, path, fh):
        # The wait of one listing over the network.
        time.sleep(self.wait)
        # With each entry's type, as a share's listing gives it: no lookup per file.
        try:
            entries = [(e.name, {"st_mode": e.stat(follow_symlinks=False).st_mode}, 0)
                       for e in os.scandir(self._real(path))]
        except OSError as e:
            raise FuseOSError(e.errno)
        return [".", ".."] + entries

    def readlink(self, path):
        return os.readlink(self._real(path))

    def open(self, path, flags):
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise FuseOSError(errno.EROFS)
        return 0

    def read(self, path, size, offset, fh):
        with open(self._real(path), "rb") as f:
            f.seek(offset)
            return f.read(size)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("source")
    parser.add_argument("mountpoint")
    parser.add_argument("--wait-ms", type=float, default=2.0)
    args = parser.parse_args()
    FUSE(SlowMirror(os.path.abspath(args.source), args.wait_ms / 1000.0), args.mountpoint,
         foreground=True, nothreads=False, ro=True)


if __name__ == "__main__":
    main()
