#!/usr/bin/env python3
"""quellor-find copying and moving onto a disk that fills up, natively and
under Wine: the target is a small tmpfs mounted here (root only; without it
every case is skipped and says why). What fails is counted failed (exit
status 1), no file shorter than its source stands under a final name, an
older file of that name survives, a moved item leaves its place only when its
copy is whole, and a file held open by another program is left as it was.

    full_disk_end_to_end.py FIND
    full_disk_end_to_end.py --wine WINE_RUN [WINE_RUN_OPTIONS...] -- FIND.exe HOLD_OPEN.exe
"""
import ctypes
import ctypes.util
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import find_under_test

WINE = None  # [wine-run, its options...] under Wine
FIND = None
HOLD_OPEN = None  # Windows only: holds a file open without sharing

BIG = 3 << 20  # three times what the disk has
DISK = "size=1m"
OLDER = b"the older file, whole"

libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)


def mount_tmpfs(at, options):
    """An empty string when mounted, else why not."""
    if os.geteuid() != 0:
        return "mounting a tmpfs needs root"
    if libc.mount(b"tmpfs", at.encode(), b"tmpfs", 0, options.encode()) != 0:
        return "tmpfs cannot be mounted here: " + os.strerror(ctypes.get_errno())
    return ""


def content(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def leftovers(folder):
    """Names a copy writes under before the final one, anywhere below `folder`."""
    return [os.path.join(top, name) for top, _, names in os.walk(folder) for name in names
            if name.startswith(".quellor-copy-") or name.endswith(".tmp")]


class FullDisk(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="quellor-full-disk-")
        self.full = os.path.join(self.work, "full")
        os.makedirs(self.full)
        why_not = mount_tmpfs(self.full, DISK)
        if why_not:
            shutil.rmtree(self.work)
            self.skipTest(why_not)
        self.names = os.path.join(self.work, "names.txt")

    def tearDown(self):
        if os.path.ismount(self.full):
            libc.umount(self.full.encode())
        shutil.rmtree(self.work)

    def own_journal(self, arguments):
        """A copy's or move's journal in this test's folder: the one beside the
        program is shared with the tests that run at the same time."""
        if "--copy-to" not in arguments and "--move-to" not in arguments:
            return []
        return ["--journal", self.program_path(os.path.join(self.work, "quellor-find.journal"))]

    def program_path(self, path):
        return "Z:" + path.replace("/", "\\") if WINE else path

    def find(self, names, *arguments):
        with open(self.names, "w") as f:
            f.write(names + "\n")
        command = (WINE or []) + [FIND, "-q", "--names", self.program_path(self.names)] + list(arguments)
        command += self.own_journal(arguments)
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        return result.returncode, result.stderr.decode("utf-8", "replace")

    def empty_the_disk(self):
        for name in os.listdir(self.full):
            path = os.path.join(self.full, name)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)

    def test_a_file_larger_than_the_free_space(self):
        source = os.path.join(self.work, "src", "big.bin")
        original = os.urandom(BIG)
        for action, older, rename in [("--copy-to", None, False), ("--copy-to", OLDER, False),
                                      ("--copy-to", OLDER, True), ("--move-to", None, False),
                                      ("--move-to", OLDER, False)]:
            with self.subTest(action=action, older=older is not None, rename=rename):
                self.empty_the_disk()
                write(source, original)
                target = os.path.join(self.full, "big.bin")
                if older:
                    write(target, older)
                status, err = self.find("big", action, self.program_path(self.full),
                                        *(["--rename-on-clash"] if rename else []),
                                        self.program_path(os.path.dirname(source)))
                self.assertEqual(status, 1, err)
                # The system's reason, and its number.
                self.assertRegex(err, "cannot " + ("copy " if action == "--copy-to" else "move ") +
                                 r".*big\.bin: .+ \(\d+\)\r?\n")
                self.assertIn(" 0 of 1 items", err)
                self.assertEqual(sorted(os.listdir(self.full)), ["big.bin"] if older else [])
                if older:
                    self.assertEqual(content(target), older, "the older file survives")
                self.assertEqual(content(source), original, "the source stays whole")

    def test_a_folder_hit_onto_the_full_disk(self):
        album = os.path.join(self.work, "src", "album")
        photos = {"p%d.jpg" % i: os.urandom(400 << 10) for i in range(4)}
        for action in ["--copy-to", "--move-to"]:
            with self.subTest(action=action):
                self.empty_the_disk()
                for name, data in photos.items():
                    write(os.path.join(album, name), data)
                status, err = self.find("album", "--folders", action, self.program_path(self.full),
                                        self.program_path(os.path.dirname(album)))
                self.assertEqual(status, 1, err)
                self.assertEqual(leftovers(self.full), [])
                # A move that failed takes back what it put there; every photo is still whole in its place.
                self.assertEqual(sorted(os.listdir(album)), sorted(photos))
                if action == "--move-to":
                    self.assertEqual(os.listdir(self.full), [])
                    continue
                copied = os.listdir(os.path.join(self.full, "album"))
                self.assertTrue(0 < len(copied) < len(photos), copied)
                for name in copied:
                    self.assertEqual(content(os.path.join(self.full, "album", name)), photos[name],
                                     "only whole files under their names")

    def test_what_fits_is_moved_across_volumes_whole_and_then_removed(self):
        source = os.path.join(self.work, "src", "small.txt")
        write(source, b"s" * 10000)
        os.utime(source, (1_000_000_000, 1_000_000_000))
        status, err = self.find("small", "--move-to", self.program_path(self.full),
                                self.program_path(os.path.dirname(source)))
        self.assertEqual(status, 0, err)
        self.assertFalse(os.path.exists(source))
        target = os.path.join(self.full, "small.txt")
        self.assertEqual(content(target), b"s" * 10000)
        self.assertEqual(int(os.stat(target).st_mtime), 1_000_000_000)

    def test_a_source_held_open_without_sharing(self):
        if not WINE:
            self.skipTest("files have no share modes here")
        source = os.path.join(self.work, "src", "held.bin")
        write(source, b"h" * 5000)
        holder = subprocess.Popen((WINE or []) + [HOLD_OPEN, self.program_path(source)], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            for action in ["--copy-to", "--move-to"]:
                with self.subTest(action=action):
                    status, err = self.find("held", action, self.program_path(self.full),
                                            self.program_path(os.path.dirname(source)))
                    self.assertEqual(status, 1, err)
                    self.assertEqual(os.listdir(self.full), [], "nothing left behind")
        finally:
            holder.stdin.close()
            holder.wait(timeout=60)
        self.assertEqual(content(source), b"h" * 5000)

    def test_the_not_found_file_on_a_full_disk(self):
        report = os.path.join(self.full, "missing.txt")
        write(report, OLDER)
        try:
            with open(os.path.join(self.full, "filler"), "wb", buffering=0) as f:
                while True:
                    f.write(b"f" * 4096)
        except OSError:
            pass
        status, err = self.find("no-such-name", "--not-found", self.program_path(report),
                                self.program_path(self.work))
        self.assertEqual(status, 1, err)
        self.assertIn("cannot write", err)
        self.assertEqual(content(report), OLDER, "never half-written")
        self.assertEqual(sorted(os.listdir(self.full)), ["filler", "missing.txt"])


if __name__ == "__main__":
    WINE, args = find_under_test.split_wine(sys.argv[1:])
    if WINE:
        HOLD_OPEN = os.path.abspath(args.pop(1))
    FIND = os.path.abspath(args[0])
    unittest.main(argv=[sys.argv[0]] + args[1:], verbosity=2)
