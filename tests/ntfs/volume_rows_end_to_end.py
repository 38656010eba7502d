#!/usr/bin/env python3
"""quellor-find lists the same rows reading an NTFS volume image itself
(--volume IMAGE) as walking the same volume mounted read-only with ntfs-3g.

    volume_rows_end_to_end.py QUELLOR_FIND

The images come from make_ntfs_images.py (names, links, churn, large). For
each, name lists are drawn from what the mount shows, and every list is
searched both ways, as exact names, fuzzy names, and folder names exact and
fuzzy: the rows must be the same and the exit statuses the same.

The order is checked name by name: the mount lists a folder whose index takes
several blocks block by block, while Windows and the reader list it in the
index's order (upper case, then as written). For one name, the walk's rows
put in that order (each folder's files, then its folders' rows; for folder
names, each folder after everything inside it) must be the reader's rows.

A mount shows no DOS (8.3) names, where the reader finds a file by either of
its names: the lists stay clear of DOS names, and one check per DOS name
asks that --volume finds it as its file's row while the walk does not.

Exits 77 (skipped), saying why, where FUSE or ntfs-3g cannot be used here.
"""
import collections
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile

# The image builder lives beside this file; no bytecode left in the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_ntfs_images as images  # noqa: E402

SKIP = 77
RUN_TIMEOUT = 300
DIRECTORY = 0x10

MODES = {"exact": ["-e"], "fuzzy": ["-f"], "folders": ["-d"], "fuzzy folders": ["-d", "-f"]}
# The list a manifest's landmark of each mode joins.
LANDMARK_LISTS = {"-e": "exact", "-f": "fuzzy", "-d": "folders"}
METADATA_FILES = ["$MFT", "$MFTMirr", "$LogFile", "$Bitmap", "$UpCase", "$Secure", "$Extend", "$Reparse", "$ObjId"]
METADATA_FOLDERS = ["$Extend", "$RmMetadata"]


class Volume:
    """What the read-only mount shows of one image, for drawing name lists."""

    def __init__(self, mount):
        self.files, self.folders = [], []
        # Names a mount and a reader of the volume legitimately tell apart.
        self.avoid = set()
        # Files' (DOS name, long name, path from the root). A folder search
        # matches folders' long names only, on any file system.
        self.dos_names = []
        for parent, folders, names in os.walk(mount):
            for name in folders + names:
                path = os.path.join(parent, name)
                shown_as_folder = os.path.isdir(path)
                (self.folders if shown_as_folder else self.files).append(name)
                short = read_dos_name(path)
                if short and short.lower() != name.lower():
                    self.avoid.add(short)
                    if not shown_as_folder:
                        self.dos_names.append((short, name, path[len(mount):]))
                # A link whose NTFS record is of the other kind than what it
                # leads to: the mount follows it, the volume's record does not.
                if os.path.islink(path) and shown_as_folder != bool(ntfs_attributes(path) & DIRECTORY):
                    self.avoid.add(name)


def index_order(name):
    """A folder index's order: UTF-16 code units in upper case, then as written."""
    encoded = name.encode("utf-16-le", "surrogatepass")
    units = [int.from_bytes(encoded[i:i + 2], "little") for i in range(0, len(encoded), 2)]
    upper = [ord(chr(u).upper()) if len(chr(u).upper()) == 1 else u for u in units]
    return upper, units


def walk_order(mode):
    """The sort key that puts one name's rows in the order a walk in index
    order gives them: files of a folder before what its folders hold; for
    folder names, every folder after what it holds."""
    def key(row):
        parts = row.split("/")[1:]
        if mode in ("exact", "fuzzy"):
            return [(1, index_order(p)) for p in parts[:-1]] + [(0, index_order(parts[-1]))]
        return [(0, index_order(p)) for p in parts] + [(1,)]
    return key


def read_dos_name(path):
    try:
        return os.getxattr(path, "system.ntfs_dos_name", follow_symlinks=False).decode()
    except OSError:
        return None


def ntfs_attributes(path):
    return struct.unpack("<I", os.getxattr(path, "system.ntfs_attrib", follow_symlinks=False))[0]


def could_match(keyword, name):
    """True when `keyword` might find `name` under any mode: it occurs in the
    name, ignoring case, with '*' and '?' as wildcards."""
    pattern = "".join(".*" if c == "*" else "." if c == "?" else re.escape(c) for c in keyword)
    return re.search(pattern, name, re.IGNORECASE) is not None


def fragment(name, rng, shortest):
    """A piece of a name for a fuzzy search."""
    if len(name) <= shortest:
        return name
    size = rng.randrange(shortest, min(len(name), 8) + 1)
    start = rng.randrange(0, len(name) - size + 1)
    return name[start:start + size]


def wildcard(name, rng):
    # '?' for one character and '*' for the rest, kept to names with a
    # character no DOS name holds.
    if len(name) < 4 or name.isascii():
        return None
    cut = rng.randrange(2, len(name))
    spot = rng.randrange(0, cut)
    return name[:spot] + "?" + name[spot + 1:cut] + "*"


def name_lists(image_name, volume, manifest):
    """{mode: names} drawn from what the mount shows; every name finds something."""
    rng = random.Random(image_name)
    limit = 3000 if image_name == "large" else None
    # Short pieces find most of a large volume: rows by the hundred thousand.
    shortest = 5 if limit else 2

    def sample(items, count=None):
        items = sorted(set(items))
        count = limit if count is None else count
        return items if count is None or len(items) <= count else rng.sample(items, count)

    exact = [name if n % 2 else name.rsplit(".", 1)[0] or name for n, name in enumerate(sample(volume.files))]
    fuzzy = [fragment(name, rng, shortest) for name in sample(volume.files, 60 if limit else None)]
    fuzzy += [w for w in (wildcard(name, rng) for name in sample(volume.files, 20)) if w]
    folders = sample(volume.folders)
    fuzzy_folders = [fragment(name, rng, shortest) for name in sample(volume.folders, 60 if limit else None)]
    lists = {"exact": exact, "fuzzy": fuzzy, "folders": folders, "fuzzy folders": fuzzy_folders}
    for mode, keyword, _ in manifest.landmarks:
        lists[LANDMARK_LISTS[mode]].append(keyword)
    for mode in lists:
        kept = [k for k in lists[mode] if k.strip() and not any(could_match(k, a) for a in volume.avoid)]
        lists[mode] = list(dict.fromkeys(kept))
    return lists


def find(quellor_find, mode, names_file, place):
    run = subprocess.run([quellor_find, "-q", "--utf8", *MODES[mode], "--names", names_file, *place],
                         stdin=subprocess.DEVNULL, capture_output=True, timeout=RUN_TIMEOUT)
    return run.returncode, run.stdout.decode("utf-8", errors="surrogateescape").splitlines(), \
        run.stderr.decode(errors="replace").strip()


class Results:
    def __init__(self):
        self.passed, self.failed = 0, 0

    def ok(self, what):
        self.passed += 1
        print(f"ok: {what}")

    def fail(self, kind, what, details=()):
        self.failed += 1
        print(f"FAIL ({kind}): {what}")
        for line in details:
            print(f"    {line}")


def compare(results, label, walk, reader, order=None):
    """Rows of the walk (mount point stripped) against the reader's; with
    `order`, the reader's must be the walk's sorted by it."""
    (walk_status, walk_rows, walk_err), (reader_status, reader_rows, reader_err) = walk, reader
    problems = False
    if walk_status != reader_status or walk_status != 0:
        results.fail("status", f"{label}: walk exited {walk_status}, --volume exited {reader_status}",
                     [e for e in (walk_err, reader_err) if e][:2])
        problems = True
    if collections.Counter(walk_rows) == collections.Counter(reader_rows):
        expected = sorted(walk_rows, key=order) if order else reader_rows
        if reader_rows == expected:
            if not problems:
                results.ok(f"{label} ({len(walk_rows)} rows{', in order' if order else ''})")
            return
        at = next(i for i, (a, b) in enumerate(zip(expected, reader_rows)) if a != b)
        results.fail("order", f"{label}: the same {len(walk_rows)} rows in another order, first apart at row {at}",
                     [f"index order: {row}" for row in expected[at:at + 3]]
                     + [f"--volume:    {row}" for row in reader_rows[at:at + 3]])
        return
    only_walk = list((collections.Counter(walk_rows) - collections.Counter(reader_rows)).elements())
    only_reader = list((collections.Counter(reader_rows) - collections.Counter(walk_rows)).elements())
    results.fail("rows", f"{label}: {len(walk_rows)} rows walking the mount, {len(reader_rows)} with --volume;"
                 f" {len(only_walk)} only in the walk, {len(only_reader)} only with --volume",
                 [f"walk only:     {row}" for row in only_walk[:5]]
                 + [f"--volume only: {row}" for row in only_reader[:5]])


def check_image(results, quellor_find, image_name, image, manifest, work):
    mountpoint = os.path.join(work, "mount-" + image_name)

    def both(mode, keywords, tag):
        names_file = os.path.join(work, f"{image_name}-{tag}.txt")
        with open(names_file, "w", encoding="utf-8") as out:
            out.write("\n".join(keywords) + "\n")
        status, rows, err = find(quellor_find, mode, names_file, [mountpoint])
        rows = [row[len(mountpoint):] if row.startswith(mountpoint + "/") else row for row in rows]
        return (status, rows, err), find(quellor_find, mode, names_file, ["--volume", image])

    with images.Mount(image, mountpoint, read_only=True):
        volume = Volume(mountpoint)
        lists = name_lists(image_name, volume, manifest)
        for mode, keywords in lists.items():
            label = f"{image_name}, {mode} ({len(keywords)} names)"
            walk, reader = both(mode, keywords, mode.replace(" ", "-"))
            wanted = {path for m, keyword, path in manifest.landmarks
                      if LANDMARK_LISTS[m] == mode and keyword in keywords}
            missing = sorted(wanted - set(walk[1]))
            if missing or not walk[1]:
                results.fail("setup", f"{label}: the walk of the mount lacks rows it must give",
                             missing[:5] or ["no rows at all"])
            compare(results, label, walk, reader)
            # The order, one name at a time: those of the list that find the most.
            for n, keyword in enumerate(sorted(keywords, key=len)[:6]):
                walk, reader = both(mode, [keyword], f"{mode.replace(' ', '-')}-{n}")
                compare(results, f"{image_name}, {mode} {keyword!r} alone", walk, reader, walk_order(mode))

        # Names the volume does not show: its own metadata files, and names deleted from it.
        for mode, keywords, tag in (("exact", METADATA_FILES, "metadata"),
                                    ("folders", METADATA_FOLDERS, "metadata-folders")):
            walk, reader = both(mode, keywords, tag)
            label = f"{image_name}, metadata {mode} ({' '.join(keywords)})"
            if walk[1]:
                results.fail("setup", f"{label}: the mount shows metadata files", walk[1][:3])
            compare(results, label, walk, reader)
        if manifest.gone:
            present = sorted(volume.files)[:3]
            walk, reader = both("exact", manifest.gone + present, "gone")
            label = f"{image_name}, {len(manifest.gone)} deleted names among {len(present)} present"
            if len(walk[1]) < len(present):
                results.fail("setup", f"{label}: the walk finds {len(walk[1])} rows", walk[1][:3])
            compare(results, label, walk, reader)

        # A DOS name is found with --volume, as its file's row.
        for short, long_name, path in volume.dos_names:
            walk, reader = both("exact", [short], "dos")
            label = f"{image_name}, DOS name {short} of {long_name}"
            if reader[1] == [path] and reader[0] == 0 and not walk[1] and walk[0] == 0:
                results.ok(label)
            else:
                results.fail("dos name", label, [f"--volume (exit {reader[0]}): {reader[1][:3]}",
                                                  f"walk (exit {walk[0]}): {walk[1][:3]}"])


def tear_a_record(image, damaged):
    """A copy of `image` with the first file record past the volume's own
    written halfway: its first step's update-sequence value spoiled."""
    shutil.copyfile(image, damaged)
    with open(damaged, "r+b") as volume:
        boot = volume.read(512)
        sector, cluster_sectors = struct.unpack_from("<HB", boot, 0x0B)
        table = struct.unpack_from("<Q", boot, 0x30)[0] * sector * cluster_sectors
        per_record = struct.unpack_from("<b", boot, 0x40)[0]
        record_size = 1 << -per_record if per_record < 0 else per_record * sector * cluster_sectors
        for number in range(16, 4096):
            volume.seek(table + number * record_size)
            record = volume.read(record_size)
            if record[:4] == b"FILE" and struct.unpack_from("<H", record, 0x16)[0] & 1:
                volume.seek(table + number * record_size + 510)
                volume.write(b"\xEE\xEE")
                return


def check_unreadable(results, quellor_find, image, work):
    """A volume that cannot be read, or a damaged record, is named and makes the exit status 1."""
    names_file = os.path.join(work, "unreadable.txt")
    with open(names_file, "w", encoding="utf-8") as out:
        out.write("发票_001\n")
    zeros = os.path.join(work, "zeros.img")
    with open(zeros, "wb") as out:
        out.truncate(1 << 20)
    damaged = os.path.join(work, "damaged.img")
    tear_a_record(image, damaged)
    for what, volume, words, rows in (("no volume there", os.path.join(work, "missing.img"), "cannot be opened", 0),
                                      ("no NTFS volume", zeros, "cannot be read as an NTFS volume", 0),
                                      ("a record written halfway", damaged, "1 records of the table", 1)):
        status, found, err = find(quellor_find, "exact", names_file, ["--volume", volume])
        if status == 1 and words in err and (len(found) > 0) == rows:
            results.ok(f"unreadable: {what}")
        else:
            results.fail("unreadable", f"{what}: exit {status}, {len(found)} rows", [err])


def has_volume_option(quellor_find):
    run = subprocess.run([quellor_find, "--help"], stdin=subprocess.DEVNULL, capture_output=True,
                         timeout=60)
    return b"--volume" in run.stdout


def main():
    quellor_find = os.path.abspath(sys.argv[1])
    # A test run stopped from outside still unmounts and cleans up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    work = tempfile.mkdtemp(prefix="quellor-volume-")
    results = Results()
    try:
        try:
            built = images.build(os.path.join(work, "images"), list(images.SMALL) + ["large"],
                                 report=lambda line: print(line, flush=True))
        except images.Unusable as reason:
            print(f"skipped: {reason}")
            return SKIP
        except (images.BuildError, OSError, subprocess.SubprocessError) as error:
            results.fail("setup", f"the images could not be built: {error}")
        else:
            if not has_volume_option(quellor_find):
                results.fail("setup", f"{quellor_find} has no --volume option")
            else:
                for image_name, (image, manifest) in built.items():
                    check_image(results, quellor_find, image_name, image, manifest, work)
                check_unreadable(results, quellor_find, built["names"][0], work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{results.passed} passed, {results.failed} failed")
    return 1 if results.failed or not results.passed else 0


if __name__ == "__main__":
    sys.exit(main())
