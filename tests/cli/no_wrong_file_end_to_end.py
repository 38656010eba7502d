#!/usr/bin/env python3
"""quellor-find's copy and move where a careless tool touches files it never
found, natively and under Wine: links among the hits, names that end in a dot
or a space beside the names without, names that differ only by letter case, a
found folder inside another's target, files added while a folder moves to
another volume, files and a target past 260 characters, a target in the long
\\\\?\\ form. The trees are made from the Linux side; every file that
must survive is read back byte for byte.

    no_wrong_file_end_to_end.py FIND
    no_wrong_file_end_to_end.py --wine WINE_RUN [WINE_RUN_OPTIONS...] -- FIND.exe
"""
import ctypes
import ctypes.util
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest

import find_under_test

WINE = None  # [wine-run, its options...] under Wine
FIND = None

libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def content(path):
    with open(path, "rb") as f:
        return f.read()


class NoWrongFile(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="quellor-no-wrong-file-")

    def tearDown(self):
        for top, folders, _ in os.walk(self.work):
            for folder in folders:
                if os.path.ismount(os.path.join(top, folder)):
                    libc.umount(os.path.join(top, folder).encode())
        shutil.rmtree(self.work)

    def path(self, relative):
        return os.path.join(self.work, relative)

    def write(self, relative, data):
        write(self.path(relative), data)

    def own_journal(self, arguments):
        """A copy's or move's journal in this test's folder: the one beside the
        program is shared with the tests that run at the same time."""
        if "--copy-to" not in arguments and "--move-to" not in arguments:
            return []
        return ["--journal", self.program_path(os.path.join(self.work, "quellor-find.journal"))]

    def program_path(self, path):
        return "Z:" + path.replace("/", "\\") if WINE else path

    def find(self, names, *arguments):
        """quellor-find with `names` one per line and `arguments` (paths as
        given, made the program's with program_path by the caller)."""
        names_file = self.path("names.txt")
        with open(names_file, "wb") as f:
            f.write(("\n".join(names) + "\n").encode())
        command = (WINE or []) + [FIND, "-q", "--names", self.program_path(names_file)] + list(arguments)
        command += self.own_journal(arguments)
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=180)
        return result.returncode, result.stderr.decode("utf-8", "replace")

    def copy_or_move(self, action, names, target, *roots, folders=False):
        os.makedirs(self.path(target), exist_ok=True)
        arguments = (["--folders"] if folders else []) + [action, self.program_path(self.path(target))]
        return self.find(names, *arguments, *[self.program_path(self.path(root)) for root in roots])

    def assert_holds(self, files):
        for relative, data in files.items():
            self.assertEqual(content(self.path(relative)), data, relative)

    def test_a_found_link_is_never_emptied_into_a_folder(self):
        self.write("outside/keep.txt", b"outside")
        self.write("dst/album/old.txt", b"old")
        os.makedirs(self.path("src"))
        os.symlink(self.path("outside"), self.path("src/album"))
        status, err = self.copy_or_move("--move-to", ["album"], "dst", "src", folders=True)
        self.assertEqual(status, 1, err)
        self.assert_holds({"outside/keep.txt": b"outside", "dst/album/old.txt": b"old"})
        self.assertFalse(os.path.exists(self.path("dst/album/keep.txt")))
        self.assertTrue(os.path.islink(self.path("src/album")))

    def test_a_trailing_dot_or_space_is_part_of_the_name(self):
        originals = {"src/a.txt": b"plain a", "src/a.txt.": b"dotted a", "src/b.txt": b"plain b",
                     "src/b.txt ": b"spaced b"}
        for relative, data in originals.items():
            self.write(relative, data)
        status, err = self.copy_or_move("--copy-to", ["a.txt.", "b.txt "], "copied", "src")
        self.assertEqual(status, 0, err)
        self.assertEqual(sorted(os.listdir(self.path("copied"))), ["a.txt.", "b.txt "])
        self.assert_holds({"copied/a.txt.": b"dotted a", "copied/b.txt ": b"spaced b"})
        status, err = self.copy_or_move("--move-to", ["a.txt.", "b.txt "], "moved", "src")
        self.assertEqual(status, 0, err)
        self.assertEqual(sorted(os.listdir(self.path("src"))), ["a.txt", "b.txt"])
        self.assert_holds({"src/a.txt": b"plain a", "src/b.txt": b"plain b", "moved/a.txt.": b"dotted a"})

    def test_names_that_differ_only_by_case_are_two_files(self):
        self.write("src/pics/A.txt", b"upper")
        self.write("src/pics/a.txt", b"lower")
        self.write("merged/pics/old.txt", b"old")
        copied, copy_err = self.copy_or_move("--copy-to", ["pics"], "copied", "src", folders=True)
        merged, merge_err = self.copy_or_move("--move-to", ["pics"], "merged", "src", folders=True)
        if WINE:
            # Windows takes the two names for one: neither is placed as the other.
            self.assertEqual(copied, 1, copy_err)
            self.assertIn("differ only by letter case", copy_err)
            self.assertEqual(merged, 1, merge_err)
            self.assertEqual(sorted(os.listdir(self.path("merged/pics"))), ["old.txt"])
            self.assert_holds({"src/pics/A.txt": b"upper", "src/pics/a.txt": b"lower"})
            # A move to where nothing is keeps the folder whole.
            moved, move_err = self.copy_or_move("--move-to", ["pics"], "moved", "src", folders=True)
            self.assertEqual(moved, 0, move_err)
            self.assert_holds({"moved/pics/A.txt": b"upper", "moved/pics/a.txt": b"lower"})
        else:
            self.assertEqual(copied, 0, copy_err)
            self.assertEqual(merged, 0, merge_err)
            self.assert_holds({"copied/pics/A.txt": b"upper", "copied/pics/a.txt": b"lower",
                               "merged/pics/A.txt": b"upper", "merged/pics/a.txt": b"lower",
                               "merged/pics/old.txt": b"old"})

    def test_a_merge_never_writes_into_another_found_folder(self):
        self.write("src/A/Bee/x.txt", b"new")
        self.write("dst/A/Bee/x.txt", b"found")
        # dst/A/Bee is a root, so a hit; src/A's copy would merge into dst/A and reach it.
        status, err = self.find(["A", "Bee"], "--folders", "--copy-to", self.program_path(self.path("dst")),
                                self.program_path(self.path("src")), self.program_path(self.path("dst/A/Bee")))
        self.assertEqual(status, 1, err)
        self.assertIn("the target is a found item itself", err)
        self.assert_holds({"dst/A/Bee/x.txt": b"found", "src/A/Bee/x.txt": b"new"})

    def test_files_added_while_a_folder_moves_to_another_volume_stay(self):
        if os.geteuid() != 0:
            self.skipTest("mounting a tmpfs needs root")
        os.makedirs(self.path("other"))
        if libc.mount(b"tmpfs", self.path("other").encode(), b"tmpfs", 0, b"size=64m") != 0:
            self.skipTest("tmpfs cannot be mounted here: " + os.strerror(ctypes.get_errno()))
        photos = {"p%03d.jpg" % i: os.urandom(32 << 10) for i in range(300)}
        for name, data in photos.items():
            self.write("src/album/" + name, data)
        added = {}
        stop = threading.Event()

        def add_files():
            number = 0
            while not stop.is_set() and number < 2000:
                name = "added%04d.jpg" % number
                data = b"added %d" % number
                try:
                    write(self.path("src/album/" + name), data)
                except OSError:
                    break  # the folder is gone: the move took it whole
                added[name] = data
                number += 1

        adder = threading.Thread(target=add_files)
        adder.start()
        try:
            status, err = self.copy_or_move("--move-to", ["album"], "other", "src", folders=True)
        finally:
            stop.set()
            adder.join()
        # Every file is whole in exactly one of the two places.
        for name, data in {**photos, **added}.items():
            here = self.path("src/album/" + name)
            there = self.path("other/album/" + name)
            self.assertNotEqual(os.path.exists(here), os.path.exists(there), name)
            self.assertEqual(content(here if os.path.exists(here) else there), data, name)
        if os.path.exists(self.path("src/album")):
            self.assertEqual(status, 1, err)
            self.assertIn("partly moved", err)

    def test_a_long_target_takes_a_free_name(self):
        if not WINE:
            self.skipTest("260 characters are no limit here")
        deep = os.path.join("dst", *["folder-%02d-%s" % (i, "x" * 30) for i in range(8)])
        self.assertGreater(len(self.program_path(self.path(deep))), 260)
        self.write(os.path.join(deep, "x1.txt"), b"older")
        self.write("src/x1.txt", b"new")
        status, err = self.find(["x1"], "--copy-to", self.program_path(self.path(deep)), "--rename-on-clash",
                                self.program_path(self.path("src")))
        self.assertEqual(status, 0, err)
        self.assert_holds({os.path.join(deep, "x1.txt"): b"older", os.path.join(deep, "x1 (2).txt"): b"new"})

    def test_files_past_260_characters_are_found_copied_and_moved(self):
        deep = {"x1.txt": 300, "y1.txt": 600}  # how long each file's path is at least
        sources = {}
        for name, length in deep.items():
            folders = []
            while len(self.program_path(self.path(os.path.join("src", *folders, name)))) < length:
                folders.append("folder-%02d-%s" % (len(folders), "x" * 40))
            sources[name] = os.path.join("src", *folders, name)
            self.write(sources[name], name.encode())
        names = ["x1", "y1", "missing"]
        not_found = self.path("not-found.txt")
        os.makedirs(self.path("copied"))
        status, err = self.find(names, "--copy-to", self.program_path(self.path("copied")), "--not-found",
                                self.program_path(not_found), self.program_path(self.path("src")))
        self.assertEqual(status, 0, err)
        self.assertNotIn("not searched", err)
        self.assert_holds({"copied/x1.txt": b"x1.txt", "copied/y1.txt": b"y1.txt"})
        self.assertEqual(content(not_found), b"missing\r\n")
        status, err = self.copy_or_move("--move-to", ["x1", "y1"], "moved", "src")
        self.assertEqual(status, 0, err)
        self.assert_holds({"moved/x1.txt": b"x1.txt", "moved/y1.txt": b"y1.txt"})
        for relative in sources.values():
            self.assertFalse(os.path.exists(self.path(relative)), relative)

    def test_a_target_in_the_long_form(self):
        if not WINE:
            self.skipTest("a Windows path form")
        self.write("src/x1.txt", b"new")
        os.makedirs(self.path("dst"))
        status, err = self.find(["x1"], "--copy-to", "\\\\?\\" + self.program_path(self.path("dst")),
                                self.program_path(self.path("src")))
        self.assertEqual(status, 0, err)
        self.assert_holds({"dst/x1.txt": b"new"})


if __name__ == "__main__":
    WINE, args = find_under_test.split_wine(sys.argv[1:])
    FIND = os.path.abspath(args[0])
    unittest.main(argv=[sys.argv[0]] + args[1:], verbosity=2)
