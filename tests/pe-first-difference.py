#!/usr/bin/env python3
"""Names where two PE files first differ: a header field, the section table,
a section (by name, with the offset inside it) or the bytes after the last
section. Prints nothing and ends with 0 when the files are the same, else
prints one line and ends with 1; 2 when a file is no PE file."""
import struct
import sys

COFF_FIELDS = [(0, 2, "Machine"), (2, 2, "NumberOfSections"), (4, 4, "TimeDateStamp"),
               (8, 4, "PointerToSymbolTable"), (12, 4, "NumberOfSymbols"),
               (16, 2, "SizeOfOptionalHeader"), (18, 2, "Characteristics")]
OPTIONAL_FIELDS = [(4, 4, "SizeOfCode"), (56, 4, "SizeOfImage"), (64, 4, "CheckSum")]


def regions(data):
    """The file's regions in file order: (start, end, name)."""
    if data[:2] != b"MZ" or len(data) < 0x40:
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    coff = pe + 4
    count, opt_size = struct.unpack_from("<H", data, coff + 2)[0], struct.unpack_from("<H", data, coff + 16)[0]
    out = [(0, pe, "the DOS header and stub"), (pe, coff, "the PE signature")]
    out += [(coff + o, coff + o + n, "the COFF header's " + f) for o, n, f in COFF_FIELDS]
    opt = coff + 20
    at = opt
    for o, n, f in OPTIONAL_FIELDS:
        out.append((at, opt + o, "the optional header"))
        out.append((opt + o, opt + o + n, "the optional header's " + f))
        at = opt + o + n
    table = opt + opt_size
    out.append((at, table, "the optional header"))
    out.append((table, table + 40 * count, "the section table"))
    sections = []
    for i in range(count):
        name, _, _, size, offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if size:
            sections.append((offset, offset + size, "section " + name.rstrip(b"\0").decode("latin-1")))
    at = table + 40 * count
    for start, end, name in sorted(sections):
        out.append((at, start, "the padding before " + name))
        out.append((start, end, name))
        at = end
    out.append((at, len(data), "the bytes after the last section"))
    return out


def first_difference(a, b):
    n = min(len(a), len(b))
    i = next((k for k in range(n) if a[k] != b[k]), n)
    if i == n and len(a) == len(b):
        return None
    where = next(("%s, at 0x%x in it" % (name, i - start) for start, end, name in regions(a if len(a) > i else b)
                  if start <= i < end), "the end of the file")
    if i == n:
        return "the length: %d and %d bytes; the shorter ends in %s" % (len(a), len(b), where)
    return "%s (file offset 0x%x)" % (where, i)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: pe-first-difference.py A.exe B.exe")
    a, b = (open(p, "rb").read() for p in sys.argv[1:])
    try:
        where = first_difference(a, b)
    except (ValueError, struct.error) as e:
        print("pe-first-difference: %s: %s" % (sys.argv[1], e))
        sys.exit(2)
    if where:
        print("first difference: " + where)
        sys.exit(1)


if __name__ == "__main__":
    main()
