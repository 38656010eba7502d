#!/usr/bin/env python3
"""quellor-find lists the same rows on an emulated share (the bench's FUSE
mirror, each listing waiting 2 ms, sixteen at once) as on the tree it mirrors.
Many readers then walk the share; what they report must not depend on them.

    share_rows_test.py QUELLOR_FIND [SLOW_SHARE]

Exits 77 (skipped), saying why, where FUSE cannot be used here.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def skip(reason):
    print(f"skipped: {reason}")
    sys.exit(SKIP)


def make_tree(root, rng):
    os.mkdir(root)
    folders = [root]
    for i in range(400):
        parent = rng.choice(folders) if rng.random() < 0.7 else folders[-1]
        name = f"项目{i:03d}" if i % 3 == 0 else f"dir {i:03d}"
        path = os.path.join(parent, name)
        os.mkdir(path)
        folders.append(path)
    stems = []
    for n in range(2000):
        stem = f"{rng.choice(['IMG_', '发票_', 'scan '])}{n:04d}"
        open(os.path.join(rng.choice(folders), stem + rng.choice(['.jpg', '.pdf', ''])), "w").close()
        stems.append(stem)
    return stems


def find(quellor_find, names, root):
    run = subprocess.run([quellor_find, "-q", "--names", names, root], capture_output=True, timeout=120)
    return run.returncode, run.stdout.decode("utf-8").splitlines()


def main():
    quellor_find = sys.argv[1]
    slow_share = sys.argv[2] if len(sys.argv) > 2 else ""
    if not slow_share or not os.path.exists(slow_share):
        skip("the share mirror is not built (libfuse 3 was not found)")
    if not os.path.exists("/dev/fuse"):
        skip("no /dev/fuse")
    if shutil.which("fusermount3") is None:
        skip("no fusermount3")
    work = tempfile.mkdtemp(prefix="quellor-share-")
    tree, mount = os.path.join(work, "tree"), os.path.join(work, "mount")
    os.mkdir(mount)
    rng = random.Random(20)
    stems = make_tree(tree, rng)
    names = os.path.join(work, "names.txt")
    with open(names, "w", encoding="utf-8") as out:
        out.write("\n".join(rng.sample(stems, 300) + ["IMG_9999", "missing"]) + "\n")
    mirror = subprocess.Popen([slow_share, tree, mount, "--wait-ms", "2", "--window", "16", "-f",
                               "-o", "max_threads=32,max_idle_threads=32"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        for _ in range(100):
            if os.path.ismount(mount) or mirror.poll() is not None:
                break
            time.sleep(0.1)
        if not os.path.ismount(mount):
            mirror.kill()
            skip("mounting is not allowed here: " + mirror.communicate()[1].decode(errors="replace").strip())
        local_status, local_rows = find(quellor_find, names, tree)
        share_status, share_rows = find(quellor_find, names, mount)
        share_rows = [tree + row[len(mount):] if row.startswith(mount) else row for row in share_rows]
        if len(local_rows) < 250:
            print(f"FAIL: only {len(local_rows)} rows on the local tree")
            return 1
        if (share_status, share_rows) != (local_status, local_rows):
            print(f"FAIL: the share gave status {share_status} and {len(share_rows)} rows, "
                  f"the local tree status {local_status} and {len(local_rows)} rows")
            for local, share in zip(local_rows, share_rows):
                if local != share:
                    print(f"  first difference: {local!r} / {share!r}")
                    break
            return 1
        print(f"ok: {len(local_rows)} rows, the same on the share")
        return 0
    finally:
        subprocess.run(["fusermount3", "-u", mount], stderr=subprocess.DEVNULL)
        try:
            mirror.wait(timeout=10)
        except subprocess.TimeoutExpired:
            mirror.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
