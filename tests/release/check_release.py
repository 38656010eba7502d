#!/usr/bin/env python3
"""Checks the Windows release zip and unpacks it as Windows' own zip support would.

  check_release.py ZIP VERSION DEST

ZIP must hold exactly the two programs, the usage note and SHA256SUMS, with
names that a Chinese Windows Explorer shows right, checksums that match, a
note in GBK with CR LF, and programs within the size limit whose version
resources carry VERSION. The entries are written into DEST.
"""
import hashlib
import os
import re
import struct
import subprocess
import sys
import zipfile
import zlib

PROGRAMS = ["Quellor.exe", "quellor-find.exe"]
NOTE = "使用说明.txt"
SUMS = "SHA256SUMS"
# Bytes, for each program and for the zip: a download that stays small. The
# window passed 1 MB with the journal, its undo and the recycle bin (1,018,368
# bytes at -O2, stripped); the budget leaves room for the export to come.
SIZE_LIMIT = 1_200_000
UTF8_FLAG = 0x800
WINDRES = "i686-w64-mingw32-windres"
OBJDUMP = "i686-w64-mingw32-objdump"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def explorer_name(info):
    """The name as Explorer on a Chinese Windows reads it: UTF-8 when bit 11
    is set, else the OEM code page, 936 (GBK)."""
    if info.flag_bits & UTF8_FLAG:
        return info.filename
    return info.filename.encode("cp437").decode("gbk")  # undo zipfile's cp437 reading


def unicode_path_field(info):
    extra = info.extra
    while len(extra) >= 4:
        tag, size = struct.unpack("<HH", extra[:4])
        if tag == 0x7075:
            return extra[4:4 + size]
        extra = extra[4 + size:]
    return None


def check_names(archive):
    names = {}
    for info in archive.infolist():
        name = explorer_name(info)
        names[name] = info
        check(info.flag_bits & UTF8_FLAG == 0, f"{name}: UTF-8 flag set (Windows before 8 would garble the name)")
        check(info.create_system == 0, f"{name}: not marked as made on Windows")
        if not name.isascii():
            field = unicode_path_field(info)
            raw = info.filename.encode("cp437")
            if check(field is not None, f"{name}: no Unicode path field"):
                version, crc = struct.unpack("<BI", field[:5])
                check(version == 1 and crc == zlib.crc32(raw), f"{name}: Unicode path field does not match the name")
                check(field[5:].decode("utf-8") == name, f"{name}: Unicode path field holds another name")
    check(sorted(names) == sorted(PROGRAMS + [NOTE, SUMS]), f"entries {sorted(names)}")
    return names


def check_note(note, version):
    try:
        text = note.decode("gbk")
    except UnicodeDecodeError as error:
        check(False, f"{NOTE} is not GBK: {error}")
        return
    check(not note.startswith(b"\xef\xbb\xbf"), f"{NOTE} starts with a byte-order mark")
    check(note.count(b"\n") == note.count(b"\r\n") > 0, f"{NOTE}: lines do not all end in CR LF")
    check("@VERSION@" not in text and f"V{version}" in text, f"{NOTE} does not name version {version}")
    for needed in ["config.ini", "path.txt", "filemame.txt", "未搜到文件列表.txt", "quellor-find.exe --names",
                   "无需安装", "管理员", "自动改名", "失败"]:
        check(needed in text, f"{NOTE} does not mention {needed}")


def check_sums(sums, contents):
    listed = {}
    for line in sums.decode("gbk").split("\r\n"):
        if line:
            digest, name = line.split("  ", 1)
            listed[name] = digest
    expected = {name: hashlib.sha256(data).hexdigest() for name, data in contents.items() if name != SUMS}
    check(listed == expected, f"{SUMS} does not match the files: {listed}")


def version_resource(path):
    """The strings and the fixed file version of a program's VERSIONINFO,
    as windres reads them back from the program."""
    rc = subprocess.run([WINDRES, "-J", "coff", "-O", "rc", "-i", path], capture_output=True, text=True,
                        check=True).stdout
    strings = {}
    for key, wide, value in re.findall(r'VALUE "(\w+)", (L?)"([^"]*)"', rc):
        escape = r"\\x([0-9a-fA-F]{4})" if wide else r"\\x([0-9a-fA-F]{2})"
        strings[key] = re.sub(escape, lambda m: chr(int(m.group(1), 16)), value)
    fixed = re.search(r"FILEVERSION (\d+), (\d+), (\d+), (\d+)", rc)
    return strings, fixed.groups() if fixed else None, rc


def check_program(path, name, version):
    size = os.path.getsize(path)
    check(size <= SIZE_LIMIT, f"{name} is {size:,} bytes, more than {SIZE_LIMIT:,}")
    strings, fixed, rc = version_resource(path)
    parts = (version.split(".") + ["0", "0", "0"])[:4]
    check(fixed == tuple(parts), f"{name}: FILEVERSION {fixed}, not {parts}")
    check(strings.get("ProductName") == "Quellor", f"{name}: ProductName {strings.get('ProductName')!r}")
    check(strings.get("ProductVersion") == version, f"{name}: ProductVersion {strings.get('ProductVersion')!r}")
    check(strings.get("FileVersion") == ".".join(parts), f"{name}: FileVersion {strings.get('FileVersion')!r}")
    check(strings.get("OriginalFilename") == name, f"{name}: OriginalFilename {strings.get('OriginalFilename')!r}")
    check("批量找文件" in strings.get("FileDescription", ""),
          f"{name}: FileDescription {strings.get('FileDescription')!r}")
    # Both carry a manifest: without one Windows virtualises quellor-find's copies into protected folders.
    check(f'version=""{".".join(parts)}""' in rc, f"{name}: the manifest does not carry version {version}")
    check('level=""asInvoker""' in rc, f"{name}: the manifest does not ask for the user's own rights")
    check("supportedOS" in rc, f"{name}: the manifest names no Windows version")
    check("longPathAware" in rc, f"{name}: the manifest does not declare the program aware of long paths")
    headers = subprocess.run([OBJDUMP, "-p", path], capture_output=True, text=True, check=True).stdout
    check("large address aware" in headers, f"{name} is not large-address-aware (4 GB on 64-bit Windows)")
    sections = subprocess.run([OBJDUMP, "-h", path], capture_output=True, text=True, check=True).stdout
    check(".debug" not in sections, f"{name} carries debug information")
    print(f"  {name}: {size:,} bytes, version {strings.get('FileVersion')}, {strings.get('FileDescription')}")


def main():
    zip_path, version, dest = sys.argv[1:4]
    zip_size = os.path.getsize(zip_path)
    check(zip_size <= SIZE_LIMIT, f"the zip is {zip_size:,} bytes, more than {SIZE_LIMIT:,}")
    print(f"  {os.path.basename(zip_path)}: {zip_size:,} bytes")
    with zipfile.ZipFile(zip_path) as archive:
        check(archive.testzip() is None, "an entry's checksum is wrong")
        names = check_names(archive)
        contents = {name: archive.read(info) for name, info in names.items()}
    os.makedirs(dest, exist_ok=True)
    for name, data in contents.items():
        with open(os.path.join(dest, name), "wb") as f:
            f.write(data)
    if NOTE in contents:
        check_note(contents[NOTE], version)
    if SUMS in contents:
        check_sums(contents[SUMS], contents)
    for name in PROGRAMS:
        if name in contents:
            check_program(os.path.join(dest, name), name, version)
    for failure in failures:
        print(f"release check: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
