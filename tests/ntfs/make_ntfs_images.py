#!/usr/bin/env python3
"""Builds small NTFS volume images for the volume reader's tests.

    make_ntfs_images.py OUTDIR [--only NAME] [--large]

Each image, OUTDIR/NAME.img, is formatted with mkntfs (quick, on a sparse
file) and filled through an ntfs-3g mount, so what it holds is what the NTFS
driver writes. Images: names, links, churn, and large (only with --large).
After filling, each image is mounted again read-only and checked: the hidden
attributes, DOS names, links and link counts must read back as written, so
an ntfs-3g that behaves otherwise fails here rather than in a comparison.

Exits 77, printing "skipped: <reason>", where the tools or FUSE cannot be
used. Used as a module by volume_rows_end_to_end.py (build, Mount).
"""
import argparse
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

try:
    import ctypes
    _libc = ctypes.CDLL(None, use_errno=True)
except (ImportError, OSError):
    _libc = None

SKIP = 77

HIDDEN = 0x2
SYSTEM = 0x4

MOUNT_POINT_TAG = 0xA0000003
SYMLINK_TAG = 0xA000000C
SYMLINK_RELATIVE = 0x1


class Unusable(Exception):
    """The tools or FUSE cannot be used here; the message says why."""


class BuildError(Exception):
    """An image came out other than it was written."""


class MountFailed(BuildError):
    """ntfs-3g did not mount an image."""


def tool(name):
    found = shutil.which(name) or next(
        (p for p in (f"/sbin/{name}", f"/usr/sbin/{name}", f"/bin/{name}") if os.access(p, os.X_OK)), None)
    return found


def unmount_command(lazy=False):
    for name in ("fusermount", "fusermount3"):
        found = tool(name)
        if found:
            return [found, "-u"] + (["-z"] if lazy else [])
    return [tool("umount") or "umount"] + (["-l"] if lazy else [])


def check_usable(work):
    """Raises Unusable unless a fresh volume can be made, mounted and left."""
    if not os.path.exists("/dev/fuse"):
        raise Unusable("no /dev/fuse")
    for name in ("mkntfs", "ntfs-3g"):
        if tool(name) is None:
            raise Unusable(f"no {name} (Debian package ntfs-3g)")
    image = os.path.join(work, "probe.img")
    try:
        format_image(image, 8, "probe")
        with Mount(image, os.path.join(work, "mount-probe")):
            pass
    except BuildError as error:
        raise Unusable(str(error))
    finally:
        if os.path.exists(image):
            os.remove(image)


def _end_with_parent():
    # ntfs-3g unmounts cleanly on SIGTERM: a mount never outlives a killed test.
    if _libc is not None:
        PR_SET_PDEATHSIG = 1
        _libc.prctl(PR_SET_PDEATHSIG, 15, 0, 0, 0)


class Mount:
    """An ntfs-3g mount held for a `with` block. ntfs-3g runs in the
    foreground (no_detach) so that leaving the block can wait for it to exit:
    only then has it written everything back and closed the volume."""

    def __init__(self, image, mountpoint, read_only=False, options=()):
        self.image, self.mountpoint = image, mountpoint
        self.read_only = read_only
        self.options = ["no_detach"] + (["ro"] if read_only else []) + list(options)
        self.process = None

    def __enter__(self):
        os.makedirs(self.mountpoint, exist_ok=True)
        # A file, not a pipe: a pipe nobody reads could stall ntfs-3g's messages.
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            [tool("ntfs-3g"), "-o", ",".join(self.options), self.image, self.mountpoint],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
            preexec_fn=_end_with_parent)
        deadline = time.monotonic() + 30
        while not os.path.ismount(self.mountpoint):
            if self.process.poll() is not None or time.monotonic() > deadline:
                if self.process.poll() is None:
                    self.process.kill()
                self.process.wait(timeout=30)
                output = self.output()
                self.process = None
                raise MountFailed(f"ntfs-3g could not mount {os.path.basename(self.image)}: "
                                  + (output.splitlines()[-1] if output else "no message"))
            time.sleep(0.05)
        return self.mountpoint

    def output(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace").strip()

    def __exit__(self, *exc):
        self.unmount()
        return False

    def unmount(self):
        if self.process is None:
            return
        process, self.process = self.process, None
        if not self.read_only:
            os.sync()
        # A reader that has just finished may still hold the mount for a moment.
        for attempt in range(50):
            if not os.path.ismount(self.mountpoint):
                break
            done = subprocess.run(unmount_command() + [self.mountpoint], stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=60)
            if done.returncode == 0:
                break
            time.sleep(0.2)
        else:
            subprocess.run(unmount_command(lazy=True) + [self.mountpoint], capture_output=True, timeout=60)
        try:
            process.wait(timeout=300)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=30)
            raise BuildError(f"ntfs-3g did not exit after unmounting {self.image}")
        if process.returncode != 0:
            raise BuildError(f"ntfs-3g exited with status {process.returncode} for {self.image}: {self.output()}")


def format_image(path, size_mib, label):
    if os.path.exists(path):
        os.remove(path)
    with open(path, "wb") as image:
        image.truncate(size_mib << 20)
    done = subprocess.run([tool("mkntfs"), "-F", "-Q", "-q", "-L", label, path],
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
    if done.returncode != 0:
        raise BuildError("mkntfs failed: " + done.stderr.decode(errors="replace").strip())


def touch(path, content=b""):
    with open(path, "wb") as out:
        out.write(content)


def set_attributes(path, add):
    value = struct.unpack("<I", os.getxattr(path, "system.ntfs_attrib", follow_symlinks=False))[0]
    os.setxattr(path, "system.ntfs_attrib", struct.pack("<I", value | add), follow_symlinks=False)


def attributes(path):
    return struct.unpack("<I", os.getxattr(path, "system.ntfs_attrib", follow_symlinks=False))[0]


def dos_name(path):
    try:
        return os.getxattr(path, "system.ntfs_dos_name", follow_symlinks=False).decode()
    except OSError:
        return None


def reparse_buffer(tag, substitute, printed, flags=None):
    """A reparse point's data as Windows stores it: tag, length, reserved,
    the two names' offsets and lengths (bytes, into the path buffer), the
    symbolic link's flags, then the names in UTF-16 LE."""
    sub, prn = substitute.encode("utf-16-le"), printed.encode("utf-16-le")
    if tag == MOUNT_POINT_TAG:
        # Junctions end each name with a NUL that the lengths leave out.
        buffer = sub + b"\0\0" + prn + b"\0\0"
        fields = struct.pack("<HHHH", 0, len(sub), len(sub) + 2, len(prn))
    else:
        buffer = prn + sub
        fields = struct.pack("<HHHHI", len(prn), len(sub), 0, len(prn), flags)
    data = fields + buffer
    return struct.pack("<IHH", tag, len(data), 0) + data


def make_junction(path, target_from_root):
    """A junction (mount point) to a folder of this volume, named as Windows
    names it on drive C:. ntfs-3g, with no .NTFS-3G/C: defined, looks the
    path up on the volume itself and shows a link into the mount."""
    os.mkdir(path)
    windows = "C:\\" + target_from_root.replace("/", "\\")
    os.setxattr(path, "system.ntfs_reparse_data",
                reparse_buffer(MOUNT_POINT_TAG, "\\??\\" + windows, windows))


def make_reparse_symlink(path, relative_target, folder):
    """A Windows symbolic link with a relative target; a link to a folder is
    itself a folder, as Windows makes it."""
    if folder:
        os.mkdir(path)
    else:
        touch(path)
    windows = relative_target.replace("/", "\\")
    os.setxattr(path, "system.ntfs_reparse_data",
                reparse_buffer(SYMLINK_TAG, windows, windows, SYMLINK_RELATIVE))


class Manifest:
    """What a test needs to know of an image beyond what a mount shows."""

    def __init__(self):
        # (mode, keyword, path from the volume's root): rows a search must give.
        self.landmarks = []
        # Names once on the volume and gone from it.
        self.gone = []
        # Records of files made after others were deleted.


def relative(mount, path):
    return path[len(mount):]


# ---------------------------------------------------------------- names

DEEP_SEGMENTS = 20


def deep_segment(level):
    return f"第{level:02d}层 很长的目录名字用来让路径超过限制"


def fill_names(mount, manifest):
    one, two = os.path.join(mount, "项目 一"), os.path.join(mount, "项目 二")
    for folder in (one, two, os.path.join(one, "资料"), os.path.join(two, "子目录"), os.path.join(two, "空目录")):
        os.makedirs(folder)
    for name in ("发票_001.pdf", "发票_002.pdf", "照片 2024.jpg"):
        touch(os.path.join(one, name), b"one")
    touch(os.path.join(one, "资料", "合同 A.docx"))
    touch(os.path.join(two, "发票_001.pdf"))
    touch(os.path.join(two, "照片 2024.jpg"))
    touch(os.path.join(two, "子目录", "发票_001.pdf.bak"))
    touch(os.path.join(mount, "照片 2024.jpg"))
    manifest.landmarks += [("-e", "发票_001", "/项目 一/发票_001.pdf"),
                           ("-e", "发票_001", "/项目 二/发票_001.pdf"),
                           ("-e", "照片 2024", "/照片 2024.jpg"),
                           ("-d", "资料", "/项目 一/资料")]

    # Characters past the Basic Multilingual Plane: UTF-16 surrogate pairs on disk.
    touch(os.path.join(mount, "😀 笑脸.txt"))
    os.mkdir(os.path.join(mount, "𠀀 古字"))
    touch(os.path.join(mount, "𠀀 古字", "𠀀𠀁.txt"))
    os.mkdir(os.path.join(mount, "派对 🎉"))
    touch(os.path.join(mount, "派对 🎉", "🎉.png"))
    manifest.landmarks += [("-e", "😀 笑脸", "/😀 笑脸.txt"), ("-e", "𠀀𠀁", "/𠀀 古字/𠀀𠀁.txt"),
                           ("-d", "派对 🎉", "/派对 🎉")]

    # 255 characters, the most NTFS and Linux both take (ASCII: Linux counts bytes).
    longest = "L" * 251 + ".txt"
    os.mkdir(os.path.join(mount, "长名"))
    touch(os.path.join(mount, "长名", longest))
    longest_folder = "F" * 255
    os.mkdir(os.path.join(mount, "长名", longest_folder))
    touch(os.path.join(mount, "长名", longest_folder, "在长名目录里.txt"))
    manifest.landmarks += [("-e", longest, "/长名/" + longest),
                           ("-e", "在长名目录里", f"/长名/{longest_folder}/在长名目录里.txt")]

    # Past 260 characters and past 1,000 bytes of UTF-8.
    deep = os.path.join(mount, "深层")
    os.mkdir(deep)
    for level in range(1, DEEP_SEGMENTS + 1):
        deep = os.path.join(deep, deep_segment(level))
        os.mkdir(deep)
        if level == 10:
            touch(os.path.join(deep, "中层文件.txt"))
    touch(os.path.join(deep, "深处发票_001.pdf"))
    deep_row = relative(mount, os.path.join(deep, "深处发票_001.pdf"))
    expect(len(deep_row) > 260 and len(deep_row.encode()) > 1000, "the deep path is too short")
    manifest.landmarks += [("-e", "深处发票_001", deep_row),
                           ("-d", deep_segment(DEEP_SEGMENTS), relative(mount, deep))]

    # Names differing only in letter case, in one folder (POSIX names).
    case = os.path.join(mount, "大小写")
    os.mkdir(case)
    for name in ("Readme.txt", "README.txt", "readme.TXT", "readme"):
        touch(os.path.join(case, name))
    for name in ("Docs", "DOCS", "docs"):
        os.mkdir(os.path.join(case, name))
        touch(os.path.join(case, name, f"{name}-说明.txt"))
    manifest.landmarks += [("-e", "readme", "/大小写/" + name) for name in ("Readme.txt", "README.txt", "readme.TXT", "readme")]
    manifest.landmarks += [("-d", "docs", "/大小写/" + name) for name in ("Docs", "DOCS", "docs")]

    # Hidden and system items, and a folder under a hidden one.
    touch(os.path.join(mount, "隐藏文件.txt"))
    set_attributes(os.path.join(mount, "隐藏文件.txt"), HIDDEN)
    touch(os.path.join(mount, "系统隐藏.sys"))
    set_attributes(os.path.join(mount, "系统隐藏.sys"), HIDDEN | SYSTEM)
    hidden_folder = os.path.join(mount, "隐藏目录")
    os.mkdir(hidden_folder)
    touch(os.path.join(hidden_folder, "机密 发票_001.pdf"))
    os.mkdir(os.path.join(hidden_folder, "里层"))
    touch(os.path.join(hidden_folder, "里层", "发票_001.pdf"))
    set_attributes(hidden_folder, HIDDEN)
    touch(os.path.join(mount, ".点开头"))
    manifest.landmarks += [("-e", "隐藏文件", "/隐藏文件.txt"), ("-e", "系统隐藏", "/系统隐藏.sys"),
                           ("-e", "发票_001", "/隐藏目录/里层/发票_001.pdf"), ("-d", "隐藏目录", "/隐藏目录")]

    # 8.3 names beside long ones. The mount shows none of them.
    os.mkdir(os.path.join(mount, "Program Files Folder"))
    touch(os.path.join(mount, "Program Files Folder", "setup.log"))
    dos_names = {"LongFileName.html": "LONGFI~1.HTM",
                 "项目 一/Quarterly Report 2024.xlsx": "QUARTE~1.XLS",
                 "Program Files Folder": "PROGRA~1",
                 # Same as the long name but for case: one name in both namespaces.
                 "short.txt": "SHORT.TXT"}
    for name, short in dos_names.items():
        path = os.path.join(mount, name)
        if not os.path.exists(path):
            touch(path, b"<html></html>" if name.endswith(".html") else b"")
        os.setxattr(path, "system.ntfs_dos_name", short.encode())
    manifest.landmarks += [("-e", "LongFileName", "/LongFileName.html"),
                           ("-d", "Program Files Folder", "/Program Files Folder")]

    # A folder whose index outgrows its record: many index blocks, entries
    # listed block by block, subfolders spread among the files.
    many = os.path.join(mount, "大目录")
    os.mkdir(many)
    for n in range(400):
        if n % 20 == 7:
            os.mkdir(os.path.join(many, f"子目录_{n:03d}"))
            touch(os.path.join(many, f"子目录_{n:03d}", f"文件_{n:03d}.txt"))
        else:
            os.mknod(os.path.join(many, f"文件_{n:03d}.txt"))
    manifest.landmarks += [("-e", "文件_007", "/大目录/子目录_007/文件_007.txt"),
                           ("-d", "子目录_387", "/大目录/子目录_387")]


# ---------------------------------------------------------------- links

LINK_FOLDERS = ("链接 A", "链接 B", "链接 C", "链接 D")
LINKS_PER_FOLDER = 12


def link_name(folder, n):
    return f"硬链接 第{n:02d}个 {folder[-1]} 名字写得长一些好占满记录.dat"


def fill_links(mount, manifest):
    os.mkdir(os.path.join(mount, "原件"))
    original = os.path.join(mount, "原件", "共享原件.dat")
    touch(original, b"shared")
    for folder in LINK_FOLDERS:
        os.mkdir(os.path.join(mount, folder))
        for n in range(LINKS_PER_FOLDER):
            os.link(original, os.path.join(mount, folder, link_name(folder, n)))
    manifest.landmarks += [("-f", "名字写得长一些", f"/{folder}/{link_name(folder, n)}")
                           for folder in LINK_FOLDERS for n in range(LINKS_PER_FOLDER)]

    os.makedirs(os.path.join(mount, "三个名字", "子"))
    touch(os.path.join(mount, "三个名字", "甲.dat"))
    os.link(os.path.join(mount, "三个名字", "甲.dat"), os.path.join(mount, "三个名字", "乙.dat"))
    os.link(os.path.join(mount, "三个名字", "甲.dat"), os.path.join(mount, "三个名字", "子", "丙.dat"))
    manifest.landmarks += [("-e", "丙", "/三个名字/子/丙.dat")]

    target = os.path.join(mount, "目标 文件夹")
    os.makedirs(os.path.join(target, "里面"))
    touch(os.path.join(target, "发票_777.pdf"))
    touch(os.path.join(target, "里面", "深一层.txt"))
    os.mkdir(os.path.join(mount, "旧数据"))
    touch(os.path.join(mount, "旧数据", "发票_777.pdf.old"))

    make_junction(os.path.join(mount, "连接点"), "目标 文件夹")
    make_junction(os.path.join(mount, "旧数据", "连接点 二"), "目标 文件夹/里面")
    make_reparse_symlink(os.path.join(mount, "符号链接 目录"), "目标 文件夹", folder=True)
    make_reparse_symlink(os.path.join(mount, "旧数据", "上级符号链接"), "../目标 文件夹", folder=True)
    make_reparse_symlink(os.path.join(mount, "符号链接 发票.pdf"), "目标 文件夹/发票_777.pdf", folder=False)
    # ln -s through the mount: stored as an Interix file (the default). A
    # link to a folder kept in a file record: the mount follows it to a
    # folder, Windows sees a file (Interix) or a link that is no folder (WSL).
    os.symlink("目标 文件夹/发票_777.pdf", os.path.join(mount, "interix 发票.pdf"))
    os.symlink("目标 文件夹", os.path.join(mount, "ixdirlink"))
    manifest.landmarks += [("-d", "连接点", "/连接点"), ("-d", "连接点 二", "/旧数据/连接点 二"),
                           ("-d", "符号链接 目录", "/符号链接 目录"), ("-d", "上级符号链接", "/旧数据/上级符号链接"),
                           ("-e", "符号链接 发票", "/符号链接 发票.pdf"), ("-e", "interix 发票", "/interix 发票.pdf"),
                           ("-e", "发票_777", "/目标 文件夹/发票_777.pdf")]


def fill_links_wsl(mount, manifest):
    # ln -s with special_files=wsl: a reparse point (the WSL symbolic link tag).
    os.symlink("目标 文件夹/发票_777.pdf", os.path.join(mount, "wsl 发票.pdf"))
    os.symlink("目标 文件夹", os.path.join(mount, "lxdirlink"))
    manifest.landmarks += [("-e", "wsl 发票", "/wsl 发票.pdf")]


# ---------------------------------------------------------------- churn

def fill_churn(mount, manifest):
    rng = random.Random(1907)
    batches = [f"批次_{n:02d}" for n in range(25)]
    files = {}
    for batch in batches:
        os.mkdir(os.path.join(mount, batch))
        for n in range(40):
            name = f"记录_{batches.index(batch):02d}_{n:03d}.txt"
            touch(os.path.join(mount, batch, name), b"x" * rng.randrange(0, 2000))
            files[name] = batch
    # Files deleted one by one, then whole folders with what is left in them.
    for name in rng.sample(sorted(files), 300):
        os.remove(os.path.join(mount, files.pop(name), name))
        manifest.gone.append(os.path.splitext(name)[0])
    deleted_batches = rng.sample(batches, 5)
    for batch in deleted_batches:
        for name in [n for n, b in files.items() if b == batch]:
            del files[name]
            manifest.gone.append(os.path.splitext(name)[0])
        shutil.rmtree(os.path.join(mount, batch))
        batches.remove(batch)
    # New files take the freed records (with new sequence numbers).
    for n in range(350):
        batch = rng.choice(batches)
        name = f"新记录_{n:03d}.txt"
        touch(os.path.join(mount, batch, name), b"new")
        files[name] = batch
    # A deleted folder's name made again, holding one of its deleted files' names.
    reborn_folder = deleted_batches[0]
    os.mkdir(os.path.join(mount, reborn_folder))
    reborn = f"记录_{int(reborn_folder[-2:]):02d}_039"
    manifest.gone.remove(reborn)
    touch(os.path.join(mount, reborn_folder, reborn + ".txt"))
    manifest.landmarks.append(("-e", reborn, f"/{reborn_folder}/{reborn}.txt"))
    # Renames across folders, some under a new name.
    for n, name in enumerate(rng.sample(sorted(files), 80)):
        old_batch, new_batch = files.pop(name), rng.choice(batches)
        new_name = name if n % 2 else "改名_" + name
        os.rename(os.path.join(mount, old_batch, name), os.path.join(mount, new_batch, new_name))
        files[new_name] = new_batch
        if new_name != name:
            manifest.gone.append(os.path.splitext(name)[0])
    moved = sorted(batches)[-1]
    os.rename(os.path.join(mount, moved), os.path.join(mount, sorted(batches)[0], moved + " 已移动"))
    manifest.landmarks.append(("-d", moved + " 已移动", f"/{sorted(batches)[0]}/{moved} 已移动"))
    for name in sorted(files)[:5]:
        batch = files[name]
        if batch == moved:
            batch = f"{sorted(batches)[0]}/{moved} 已移动"
        manifest.landmarks.append(("-e", os.path.splitext(name)[0], f"/{batch}/{name}"))


# ---------------------------------------------------------------- large

LARGE_TOP, LARGE_MIDDLE, LARGE_LEAVES, LARGE_FILES = 10, 10, 100, 10
PREFIXES = ("IMG", "发票", "scan", "报告")
EXTENSIONS = (".jpg", ".pdf", ".txt", "")


def large_file_name(n):
    return f"{PREFIXES[n % 4]}_{n:06d}{EXTENSIONS[(n // 4) % 4]}"


def fill_large(mount, manifest):
    n = 0
    for top in range(LARGE_TOP):
        top_path = os.path.join(mount, f"区域_{top}")
        os.mkdir(top_path)
        for middle in range(LARGE_MIDDLE):
            middle_path = os.path.join(top_path, f"分部_{top}{middle}")
            os.mkdir(middle_path)
            for leaf in range(LARGE_LEAVES):
                leaf_path = os.path.join(middle_path, f"目录_{top}{middle}{leaf:02d}")
                os.mkdir(leaf_path)
                for _ in range(LARGE_FILES):
                    os.mknod(os.path.join(leaf_path, large_file_name(n)))
                    n += 1
    manifest.landmarks += [("-e", "IMG_000000", "/区域_0/分部_00/目录_0000/IMG_000000.jpg"),
                           ("-e", "报告_099999", "/区域_9/分部_99/目录_9999/报告_099999"),
                           ("-d", "目录_5050", "/区域_5/分部_50/目录_5050")]


# ---------------------------------------------------------------- building

IMAGES = {
    # name: (size in MiB, fill steps as (mount options, fill))
    "names": (64, [((), fill_names)]),
    "links": (64, [((), fill_links), (("special_files=wsl",), fill_links_wsl)]),
    "churn": (64, [((), fill_churn)]),
    "large": (1024, [((), fill_large)]),
}
SMALL = ("names", "links", "churn")


def expect(condition, message):
    if not condition:
        raise BuildError(message)


def build_image(name, outdir, work):
    """Builds OUTDIR/NAME.img; returns its path, its manifest and the seconds it took."""
    started = time.monotonic()
    size, steps = IMAGES[name]
    image = os.path.join(outdir, name + ".img")
    format_image(image, size, name)
    manifest = Manifest()
    mountpoint = os.path.join(work, "mount-" + name)
    for options, fill in steps:
        with Mount(image, mountpoint, options=options) as mount:
            fill(mount, manifest)
    os.rmdir(mountpoint)
    return image, manifest, time.monotonic() - started


def build(outdir, names, report=None):
    """Builds the named images into OUTDIR; returns {name: (path, manifest)}.
    Raises Unusable where the tools or FUSE cannot be used."""
    os.makedirs(outdir, exist_ok=True)
    work = tempfile.mkdtemp(prefix="ntfs-images-")
    built = {}
    try:
        check_usable(work)
        for name in names:
            image, manifest, seconds = build_image(name, outdir, work)
            built[name] = (image, manifest)
            if report:
                report(f"{name}: {os.path.basename(image)} built in {seconds:.1f} s")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return built


def main():
    parser = argparse.ArgumentParser(description="Builds NTFS test volume images through ntfs-3g.")
    parser.add_argument("outdir")
    parser.add_argument("--only", choices=sorted(IMAGES), help="build this image alone")
    parser.add_argument("--large", action="store_true", help="build the large image too")
    args = parser.parse_args()
    # Stopped from outside, it still unmounts what it mounted.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    names = [args.only] if args.only else list(SMALL) + (["large"] if args.large else [])
    try:
        build(args.outdir, names, report=lambda line: print(line, flush=True))
    except Unusable as reason:
        print(f"skipped: {reason}")
        return SKIP
    except (BuildError, OSError, subprocess.SubprocessError) as error:
        print(f"FAIL: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
