#!/usr/bin/env python3
"""quellor-find on a tree of Chinese names made from the Linux side, with the
names file saved in each encoding people save it in; the not-found file, the
ledger and the export read back as a spreadsheet program would read them.

    names_files_end_to_end.py FIND                       # the native program
    names_files_end_to_end.py --wine WINE_RUN [WINE_RUN_OPTIONS...] -- FIND.exe
"""
import csv
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import find_under_test

WINE = None  # [wine-run, its options...] under Wine
FIND = None

NAMES = ["报告", "合同-2024", "IMG_0001", "img_0002"]
FILES = ["报告.txt", "合同-2024.pdf", "IMG_0001.jpg", "照片/IMG_0002.JPG", "other.txt", "照片/a,b.txt"]
ENCODINGS = {  # Python's codec name: how Notepad and Linux editors save
    "utf-8-sig": "UTF-8 with a byte-order mark",
    "utf-16": "UTF-16 LE with a byte-order mark ('Unicode')",
    "utf-16-be-mark": "UTF-16 BE with a byte-order mark",
    "utf-8": "UTF-8 without a byte-order mark",
    "gbk": "GBK (ANSI)",
}


def encode(text, codec):
    if codec == "utf-16-be-mark":
        return b"\xfe\xff" + text.encode("utf-16-be")
    return text.encode(codec)


def decode(data, codec):
    if codec == "utf-16-be-mark":
        assert data[:2] == b"\xfe\xff", data[:2]
        return data[2:].decode("utf-16-be")
    return data.decode(codec)


class NamesFiles(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="quellor-names-")
        self.tree = os.path.join(self.work, "tree")
        for relative in FILES:
            path = os.path.join(self.tree, relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(relative)

    def tearDown(self):
        shutil.rmtree(self.work)

    def program_path(self, path):
        """The path as the program is given it, and as it prints it."""
        return "Z:" + path.replace("/", "\\") if WINE else path

    def run_find(self, names_file, *options):
        command = (WINE or []) + [FIND, "-q", "--names", self.program_path(names_file)]
        command += list(options) + [self.program_path(self.tree)]
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        # Paths come out as the platform's names are: the ANSI code page (936) on Windows.
        out = result.stdout.decode("gbk" if WINE else "utf-8")
        return result.returncode, sorted(out.splitlines()), result.stderr.decode("gbk" if WINE else "utf-8", "replace")

    def write(self, name, data):
        path = os.path.join(self.work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def read_ledger(self, path):
        with open(path, encoding="utf-8-sig", newline="") as f:
            return list(csv.reader(f))

    def test_every_encoding_finds_all_four_files(self):
        expected = sorted(self.program_path(os.path.join(self.tree, f)) for f in FILES[:4])
        for codec, description in ENCODINGS.items():
            with self.subTest(description):
                names = self.write("names-" + codec + ".txt", encode("\r\n".join(NAMES) + "\r\n", codec))
                not_found = os.path.join(self.work, "nf-" + codec + ".txt")
                ledger = os.path.join(self.work, "ledger-" + codec + ".csv")
                status, rows, err = self.run_find(names, "--not-found", self.program_path(not_found),
                                                  "--ledger", self.program_path(ledger))
                self.assertEqual(rows, expected, err)
                self.assertEqual(status, 0, err)
                with open(not_found, "rb") as f:
                    self.assertEqual(f.read(), b"")
                table = self.read_ledger(ledger)
                self.assertEqual(table[0], ["name", "line", "hits", "first hit", "not searched because"])
                self.assertEqual([row[:3] for row in table[1:]],
                                 [[name, str(i + 1), "1"] for i, name in enumerate(NAMES)])
                self.assertEqual([row[3] for row in table[1:]], [self.program_path(os.path.join(self.tree, f))
                                                                 for f in FILES[:4]])

    def test_names_not_found_come_back_in_the_encoding_they_came_in(self):
        # 한국 has no GBK character: on Windows too it is searched for, as file names hold it.
        odd = ['say "hi", again', "不存在", "合同-2024", "한국"]
        for codec, description in ENCODINGS.items():
            odd_here = [n for n in odd if codec != "gbk" or n != "한국"]  # a GBK file cannot hold it
            with self.subTest(description):
                names = self.write("odd-" + codec + ".txt", encode("\n".join(odd_here) + "\n\n", codec))
                not_found = os.path.join(self.work, "nf-odd-" + codec + ".txt")
                ledger = os.path.join(self.work, "ledger-odd-" + codec + ".csv")
                status, rows, err = self.run_find(names, "--not-found", self.program_path(not_found),
                                                  "--ledger", self.program_path(ledger))
                self.assertEqual(status, 3, err)
                self.assertEqual(rows, [self.program_path(os.path.join(self.tree, "合同-2024.pdf"))])
                missing = [n for n in odd_here if n != "合同-2024"]
                with open(not_found, "rb") as f:
                    self.assertEqual(decode(f.read(), codec), "".join(n + "\r\n" for n in missing))
                table = self.read_ledger(ledger)
                self.assertEqual([row[:3] for row in table[1:]],
                                 [[n, str(i + 1), "1" if n == "合同-2024" else "0"] for i, n in enumerate(odd_here)])
                if "한국" in odd_here:
                    self.assertNotIn("line 4", err)
                    self.assertEqual(table[4][4], "", "searched for")
        # Without --ledger the exit status stays 0 when names found nothing.
        status, _, err = self.run_find(self.write("only-missing.txt", "不存在\n".encode("utf-8")))
        self.assertEqual(status, 0, err)

    def read_export(self, names, *options):
        export = os.path.join(self.work, "export.csv")
        command = (WINE or []) + [FIND, "-q", "--names", self.program_path(self.write("names.txt", names.encode()))]
        command += list(options) + ["--export", self.program_path(export), self.program_path(self.tree)]
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr.decode("gbk" if WINE else "utf-8", "replace"))
        printed = result.stdout.decode("gbk" if WINE else "utf-8").splitlines()
        with open(export, "rb") as f:
            self.assertEqual(f.read(3), b"\xef\xbb\xbf")
        return printed, self.read_ledger(export)

    def expected_row(self, relative, keyword):
        path = os.path.join(self.tree, relative)
        info = os.stat(path)
        folder, name = os.path.split(self.program_path(path).replace("\\", "/"))
        separator = "\\" if WINE else "/"
        size = "" if os.path.isdir(path) else str(info.st_size)
        modified = time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(int(info.st_mtime)))
        return [self.program_path(path), name, folder.replace("/", separator), size, modified, "", keyword]

    def test_export_lists_every_hit_in_the_order_printed(self):
        printed, table = self.read_export("IMG_0001\n报告\na,b\nIMG_0002\n")
        self.assertEqual(table[0], ["路径", "名称", "所在文件夹", "大小", "修改时间", "勾选", "关键字"])
        self.assertEqual([row[0] for row in table[1:]], printed)
        by_path = {row[0]: row for row in table[1:]}
        for relative, keyword in [("IMG_0001.jpg", "IMG_0001"), ("报告.txt", "报告"), ("照片/a,b.txt", "a,b"),
                                  ("照片/IMG_0002.JPG", "IMG_0002")]:
            expected = self.expected_row(relative, keyword)
            self.assertEqual(by_path.get(expected[0]), expected)
        self.assertEqual(len(table), 5)
        # A folder hit: no size.
        _, table = self.read_export("照片\n", "--folders")
        self.assertEqual(table[1:], [self.expected_row("照片", "照片")])


if __name__ == "__main__":
    WINE, args = find_under_test.split_wine(sys.argv[1:])
    FIND = os.path.abspath(args[0])
    unittest.main(argv=[sys.argv[0]] + args[1:], verbosity=2)
