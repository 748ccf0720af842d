#!/usr/bin/env python3
"""Packs a built Quendal.exe for Windows users:
    release-pack.py EXE README-TEMPLATE EPOCH OUTDIR
writes OUTDIR/Quendal-<version>-win32.zip (Quendal.exe and README.txt) and
OUTDIR/SHA256SUMS, and prints the two file names. <version> is the
FileVersion of the exe's own version resource. The same inputs give the same
bytes whatever the time, time zone or umask: every member is dated EPOCH (in
UTC), the members come in a fixed order, carry no extra fields and the same
attributes, those of a plain file."""
import hashlib
import os
import re
import struct
import sys
import time
import zipfile


def section(data, wanted):
    """The raw bytes of the PE section named `wanted`."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    count, opt_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + opt_size
    for i in range(count):
        name, _, _, size, offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if name.rstrip(b"\0") == wanted:
            return data[offset:offset + size]
    raise ValueError("no %s section" % wanted.decode())


def file_version(exe):
    """The FileVersion string of the version resource, e.g. 1.2.0.0."""
    rsrc = section(exe, b".rsrc")
    key = "FileVersion\0".encode("utf-16le")
    at = rsrc.find(key)
    if at < 4:
        raise ValueError("no FileVersion in the version resource")
    words = struct.unpack_from("<H", rsrc, at - 4)[0]
    value = at + len(key)
    while rsrc[value:value + 2] == b"\0\0":  # padding to the value's 32-bit boundary
        value += 2
    text = rsrc[value:value + 2 * words].decode("utf-16le").rstrip("\0")
    if not re.fullmatch(r"\d+(\.\d+){3}", text):
        raise ValueError("FileVersion %r is not four numbers" % text)
    return text


def readme(template, version, exe_hash):
    """README.txt for Windows: UTF-8 with a byte order mark (so that Notepad
    reads it whatever the system's code page) and CRLF line ends."""
    text = template.replace("@VERSION@", version).replace("@EXE_SHA256@", exe_hash)
    left = re.search(r"@[A-Z0-9_]+@", text)
    if left:
        raise ValueError("the README template has a placeholder left: " + left.group(0))
    return b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def member(name, epoch):
    info = zipfile.ZipInfo(name, time.gmtime(max(epoch, 315532800))[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # MS-DOS: no Unix owner or mode
    info.external_attr = 0x20  # a plain file (archive bit), as Windows writes it; zipfile puts 0o600 for 0
    return info


def main():
    if len(sys.argv) != 5:
        sys.exit("usage: release-pack.py EXE README-TEMPLATE EPOCH OUTDIR")
    exe_path, template_path, epoch, out = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
    exe = open(exe_path, "rb").read()
    exe_hash = hashlib.sha256(exe).hexdigest()
    version = file_version(exe)
    text = readme(open(template_path, encoding="utf-8").read(), version, exe_hash)
    os.makedirs(out, exist_ok=True)
    zip_name = "Quendal-%s-win32.zip" % version
    with zipfile.ZipFile(os.path.join(out, zip_name + ".part"), "w") as z:
        z.writestr(member("Quendal.exe", epoch), exe, compresslevel=9)
        z.writestr(member("README.txt", epoch), text, compresslevel=9)
    os.replace(os.path.join(out, zip_name + ".part"), os.path.join(out, zip_name))
    zip_hash = hashlib.sha256(open(os.path.join(out, zip_name), "rb").read()).hexdigest()
    with open(os.path.join(out, "SHA256SUMS"), "w", newline="\n") as sums:
        sums.write("%s  %s\n%s  Quendal.exe\n" % (zip_hash, zip_name, exe_hash))
    print(os.path.join(out, zip_name))
    print(os.path.join(out, "SHA256SUMS"))


if __name__ == "__main__":
    try:
        main()
    except (OSError, ValueError, struct.error) as e:
        sys.exit("release-pack: %s" % e)
