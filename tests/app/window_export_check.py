#!/usr/bin/env python3
"""The window's export of six invoices (main_window_export_test.cpp wrote
them) read back as a spreadsheet program and a script would read them: the
table by Python's csv module, every field against the tree on disk and the
list's order; the plain list line by line.

    window_export_check.py EXPORT_DIR INVOICE_TREE
"""
import csv
import os
import sys
import time
import unittest

EXPORT_DIR = None
TREE = None

# The six searched for by their names (the decoy Jxrg-Rechnung.pdf is not),
# and the two the test ticked.
FOUND = ["Jörg-Rechnung.pdf", "Produkt™-Rechnung.pdf", "한국-Rechnung.txt", "Rechnung-😀.txt",
         "报告-Rechnung.txt", "Rechnung-2024.pdf"]
TICKED = {"한국-Rechnung.txt", "Rechnung-😀.txt"}
HEADER = ["路径", "名称", "所在文件夹", "大小", "修改时间", "勾选", "关键字"]


def windows_path(path):
    """A Linux path as Wine shows it to the program."""
    return "Z:" + path.replace("/", "\\")


class WindowExport(unittest.TestCase):
    def list_order(self):
        with open(os.path.join(EXPORT_DIR, "rows.txt"), encoding="utf-8") as f:
            return f.read().splitlines()

    def test_the_table_holds_every_row_in_the_lists_order_field_by_field(self):
        with open(os.path.join(EXPORT_DIR, "导出结果.csv"), "rb") as f:
            self.assertEqual(f.read(3), b"\xef\xbb\xbf", "UTF-8 with a byte-order mark, as Excel wants it")
        with open(os.path.join(EXPORT_DIR, "导出结果.csv"), encoding="utf-8-sig", newline="") as f:
            table = list(csv.reader(f))
        self.assertEqual(table[0], HEADER)
        rows = table[1:]
        order = self.list_order()
        self.assertEqual(sorted(order), sorted(windows_path(os.path.join(TREE, name)) for name in FOUND))
        self.assertEqual([row[0] for row in rows], order, "the rows in the list's (sorted) order")
        for path, name, folder, size, modified, ticked, keyword in rows:
            with self.subTest(name=name):
                self.assertEqual(path, windows_path(os.path.join(TREE, name)))
                self.assertIn(name, FOUND)
                self.assertEqual(folder, windows_path(TREE))
                on_disk = os.stat(os.path.join(TREE, name))
                self.assertEqual(size, str(on_disk.st_size))
                self.assertEqual(modified, time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(int(on_disk.st_mtime))))
                self.assertEqual(ticked, "是" if name in TICKED else "否")
                self.assertEqual(keyword, name.rsplit(".", 1)[0], "the name that found it")

    def test_the_plain_list_holds_the_paths_one_a_line(self):
        with open(os.path.join(EXPORT_DIR, "导出结果.txt"), "rb") as f:
            data = f.read()
        self.assertTrue(data.startswith(b"\xef\xbb\xbf"), "code page 936 cannot write four of the names")
        self.assertEqual(data[3:].decode("utf-8").split("\r\n"), self.list_order() + [""])


if __name__ == "__main__":
    EXPORT_DIR, TREE = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1])
