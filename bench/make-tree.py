#!/usr/bin/env python3
"""Builds one benchmark tree shape and its name lists.

    make-tree.py SHAPE TREE NAMES_PREFIX

Shapes:
  balanced      20 x 20 x 50 folders, 10 files each (200,000 files)
  deep          20,000 folders of irregular fan-out up to ten levels deep,
                about ten files each, mixed Chinese and ASCII names
  flat-files    one folder of 300,000 files
  flat-folders  one folder of 50,000 empty subfolders
  sparse        40,000 folders (200 x 200) of one file each
  share         3,000 folders shaped like `deep` but up to 14 levels deep, for
                the slow-share mirror

Writes NAMES_PREFIX-exact.txt (10,000 names) and NAMES_PREFIX-fuzzy.txt
(1,000 names); half of each list exists in the tree, half does not.
"""
import os
import random
import sys

ASCII_STEMS = ["IMG_", "invoice-", "part_", "scan ", "report_", "DSC", "合同-", "发票_", "照片", "扫描件 "]


def touch(path):
    os.close(os.open(path, os.O_CREAT | os.O_WRONLY, 0o644))


def file_name(n, rng):
    stem = f"{ASCII_STEMS[n % len(ASCII_STEMS)]}{n:06d}"
    ext = rng.choice([".jpg", ".pdf", ".txt", ".tif", ".docx", ""])
    if n % 97 == 0:
        stem = stem.upper()
    return stem, stem + ext


def irregular(root, folders, files_per_folder, rng, max_depth=10):
    """Random parents, deeper levels favoured less: irregular fan-out, depth <= max_depth."""
    paths = [(root, 0)]
    os.makedirs(root)
    while len(paths) < folders + 1:
        parent, depth = paths[rng.randrange(len(paths))] if rng.random() < 0.7 else paths[-1]
        if depth >= max_depth:
            continue
        n = len(paths)
        name = f"项目{n:05d}" if n % 3 == 0 else f"dir{n:05d}"
        path = os.path.join(parent, name)
        os.mkdir(path)
        paths.append((path, depth + 1))
    stems = []
    n = 0
    for path, _ in paths[1:]:
        for _ in range(rng.randrange(2 * files_per_folder + 1)):
            stem, name = file_name(n, rng)
            touch(os.path.join(path, name))
            stems.append(stem)
            n += 1
    return stems


def build(shape, root, rng):
    stems = []
    n = 0
    if shape == "balanced":
        for a in range(20):
            for b in range(20):
                for c in range(50):
                    folder = os.path.join(root, f"dept{a:02d}", f"project{b:02d}", f"batch{c:02d}")
                    os.makedirs(folder)
                    for _ in range(10):
                        stem, name = file_name(n, rng)
                        touch(os.path.join(folder, name))
                        stems.append(stem)
                        n += 1
    elif shape == "deep":
        stems = irregular(root, 20000, 10, rng)
    elif shape == "share":
        stems = irregular(root, 3000, 10, rng, max_depth=14)
    elif shape == "flat-files":
        os.makedirs(root)
        for n in range(300000):
            stem, name = file_name(n, rng)
            touch(os.path.join(root, name))
            stems.append(stem)
    elif shape == "flat-folders":
        os.makedirs(root)
        for n in range(50000):
            os.mkdir(os.path.join(root, f"folder{n:05d}"))
        stems = [f"folder{n:05d}" for n in range(50000)]
    elif shape == "sparse":
        for a in range(200):
            for b in range(200):
                folder = os.path.join(root, f"a{a:03d}", f"b{b:03d}")
                os.makedirs(folder)
                stem, name = file_name(n, rng)
                touch(os.path.join(folder, name))
                stems.append(stem)
                n += 1
    else:
        sys.exit(f"unknown shape: {shape}")
    return stems


def names(stems, size, rng):
    picked = []
    for i in range(size):
        if i % 2 == 0 and stems:
            picked.append(rng.choice(stems))
        else:
            picked.append(f"{rng.choice(ASCII_STEMS)}{900000 + rng.randrange(99999):06d}")
    return picked


def main():
    shape, root, prefix = sys.argv[1:4]
    rng = random.Random(42)
    stems = build(shape, root, rng)
    for kind, size in (("exact", 10000), ("fuzzy", 1000)):
        with open(f"{prefix}-{kind}.txt", "w", encoding="utf-8") as out:
            out.write("\n".join(names(stems, size, random.Random(size))) + "\n")


if __name__ == "__main__":
    main()
