#!/usr/bin/env python3
"""quellor-find on names that code page 936 cannot write (the seven invoices
and a folder named Jörg), natively and under Wine: what standard output gets
when it is a pipe, with and without --utf8, and a folder of such a name
given on the command line.

    output_end_to_end.py FIND                       # the native program
    output_end_to_end.py --wine WINE_RUN [WINE_RUN_OPTIONS...] -- FIND.exe
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import find_under_test

WINE = None  # [wine-run, its options...] under Wine
FIND = None

INVOICES = ["Jörg-Rechnung.pdf", "Produkt™-Rechnung.pdf", "한국-Rechnung.txt", "Rechnung-😀.txt",
            "报告-Rechnung.txt", "Rechnung-2024.pdf", "Jxrg-Rechnung.pdf"]


def fits_gbk(text):
    try:
        text.encode("gbk")
        return True
    except UnicodeEncodeError:
        return False


class Output(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="quellor-output-")
        self.tree = os.path.join(self.work, "tree")
        os.makedirs(os.path.join(self.tree, "Jörg"))
        for name in INVOICES:
            with open(os.path.join(self.tree, name), "w", encoding="utf-8") as f:
                f.write(name)
        with open(os.path.join(self.tree, "Jörg", "IMG_1.jpg"), "w") as f:
            f.write("photo")
        self.names = os.path.join(self.work, "names.txt")
        with open(self.names, "w", encoding="utf-8") as f:
            f.write("rechnung\n")

    def tearDown(self):
        shutil.rmtree(self.work)

    def own_journal(self, arguments):
        """A copy's or move's journal in this test's folder: the one beside the
        program is shared with the tests that run at the same time."""
        if "--copy-to" not in arguments and "--move-to" not in arguments:
            return []
        return ["--journal", self.program_path(os.path.join(self.work, "quellor-find.journal"))]

    def program_path(self, path):
        return "Z:" + path.replace("/", "\\") if WINE else path

    def run_find(self, *arguments):
        command = (WINE or []) + [FIND, "-q"] + list(arguments) + self.own_journal(arguments)
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        return result.returncode, result.stdout, result.stderr

    def test_paths_on_a_pipe(self):
        found = [self.program_path(os.path.join(self.tree, name)) for name in INVOICES]
        status, out, err = self.run_find("--fuzzy", "--names", self.program_path(self.names), self.program_path(self.tree))
        if not WINE:
            self.assertEqual(status, 0, err)
            self.assertEqual(sorted(out.decode("utf-8").splitlines()), sorted(found), "on Linux nothing changes")
        else:
            # The ANSI code page as scripts expect; a path it cannot write goes to
            # standard error with its characters named, never with a '?'.
            self.assertEqual(status, 1, err)
            self.assertNotIn(b"?", out)
            self.assertEqual(sorted(out.decode("gbk").splitlines()), sorted(p for p in found if fits_gbk(p)))
            messages = err.decode("gbk")
            for code_point in ["<U+00F6>", "<U+2122>", "<U+D55C><U+AD6D>", "<U+1F600>"]:
                self.assertIn(code_point, messages)
            self.assertEqual(messages.count("not printed"), 4, messages)

        copies = os.path.join(self.work, "copies")
        os.makedirs(copies)
        status, out, err = self.run_find("--fuzzy", "--utf8", "--names", self.program_path(self.names),
                                         "--copy-to", self.program_path(copies), self.program_path(self.tree))
        self.assertEqual(status, 0, err)
        self.assertEqual(sorted(out.decode("utf-8").splitlines()), sorted(found), "--utf8: every path as it is")
        for name in INVOICES:
            with open(os.path.join(copies, name), encoding="utf-8") as f:
                self.assertEqual(f.read(), name)

    def test_a_folder_of_such_a_name_given_as_an_argument(self):
        with open(self.names, "w") as f:
            f.write("IMG_1\n")
        folder = self.program_path(os.path.join(self.tree, "Jörg"))
        status, out, err = self.run_find("--utf8", "--names", self.program_path(self.names), folder)
        self.assertEqual(status, 0, err)
        self.assertEqual(out.decode("utf-8").splitlines(), [folder + ("\\" if WINE else "/") + "IMG_1.jpg"])


if __name__ == "__main__":
    WINE, args = find_under_test.split_wine(sys.argv[1:])
    FIND = os.path.abspath(args[0])
    unittest.main(argv=[sys.argv[0]] + args[1:], verbosity=2)
