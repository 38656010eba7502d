#!/usr/bin/env python3
"""Packs the Windows release zip: the programs, the usage note and SHA256SUMS.

  pack-release.py --version V --note NOTE.txt --out OUT.zip PROGRAM.exe...

The note is kept in the repository as UTF-8; in the zip it is GBK with CR LF,
as Notepad on a Chinese Windows reads it, and "@VERSION@" in it becomes V.

Entry names are stored the way Windows' own zip support reads them: without
the UTF-8 flag (bit 11) Explorer takes a name in the OEM code page, which is
936 (GBK) on a Chinese Windows, on every version from XP on; the flag itself
is honoured only from Windows 8 on (Windows 7 needs a hotfix). Each entry
also carries an Info-ZIP Unicode Path field (0x7075) with the UTF-8 name, so
that tools on other systems show the Chinese name too.
"""
import argparse
import hashlib
import os
import struct
import subprocess
import sys
import time
import zlib

NOTE_NAME = "使用说明.txt"
SUMS_NAME = "SHA256SUMS"
NAME_CODEC = "gbk"

MADE_BY_MSDOS_V20 = 20  # host 0 (MS-DOS/Windows) in the high byte, format 2.0
NEEDED_V20 = 20
DEFLATED = 8
FILE_ATTRIBUTE_ARCHIVE = 0x20
UNICODE_PATH_FIELD = 0x7075


def dos_date_time(epoch):
    t = time.gmtime(max(epoch, 315532800))  # DOS dates start in 1980
    date = ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday
    clock = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2)
    return date, clock


def unicode_path_field(stored_name, name):
    utf8 = name.encode("utf-8")
    body = struct.pack("<BI", 1, zlib.crc32(stored_name)) + utf8
    return struct.pack("<HH", UNICODE_PATH_FIELD, len(body)) + body


def write_zip(path, entries, epoch):
    """Writes (name, bytes) pairs, deflated, to the zip at path."""
    date, clock = dos_date_time(epoch)
    out = bytearray()
    central = bytearray()
    for name, data in entries:
        stored_name = name.encode(NAME_CODEC)
        extra = unicode_path_field(stored_name, name) if not name.isascii() else b""
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = packer.compress(data) + packer.flush()
        crc = zlib.crc32(data)
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, NEEDED_V20, 0, DEFLATED, clock, date, crc, len(packed),
                           len(data), len(stored_name), len(extra))
        out += stored_name + extra + packed
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, MADE_BY_MSDOS_V20, NEEDED_V20, 0, DEFLATED, clock,
                               date, crc, len(packed), len(data), len(stored_name), len(extra), 0, 0, 0,
                               FILE_ATTRIBUTE_ARCHIVE, offset)
        central += stored_name + extra
    central_offset = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), central_offset, 0)
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(out)
    os.replace(temporary, path)


def note_bytes(note_path, version):
    with open(note_path, encoding="utf-8") as f:
        text = f.read()
    text = text.replace("@VERSION@", version)
    lines = text.replace("\r\n", "\n").split("\n")
    return "\r\n".join(lines).encode("gbk")  # strict: a character outside GBK stops the release


def sums_bytes(entries):
    lines = [f"{hashlib.sha256(data).hexdigest()}  {name}" for name, data in entries]
    return ("\r\n".join(lines) + "\r\n").encode(NAME_CODEC)


def release_epoch():
    """The last commit's time, so the same commit packs the same zip."""
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        return int(subprocess.run(["git", "log", "-1", "--format=%ct"], capture_output=True, text=True,
                                  check=True).stdout.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        return int(time.time())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--note", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()

    entries = []
    for program in args.programs:
        with open(program, "rb") as f:
            entries.append((os.path.basename(program), f.read()))
    entries.append((NOTE_NAME, note_bytes(args.note, args.version)))
    entries.append((SUMS_NAME, sums_bytes(entries)))
    write_zip(args.out, entries, release_epoch())

    for name, data in entries:
        print(f"{len(data):>10,}  {name}")
    with open(args.out, "rb") as f:
        packed = f.read()
    print(f"{len(packed):>10,}  {args.out}  sha256 {hashlib.sha256(packed).hexdigest()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
