#!/usr/bin/env python3
"""Independent zip reader and writer for the archive tests (python's own zipfile module).

make-python OUT SRC: zips the tree SRC with folder entries, deflating every other file.
list ZIP: one line per entry "name<TAB>method<TAB>size<TAB>crc<TAB>flags<TAB>mode<TAB>extra ids",
          then "TEST OK" when every entry's data checks out, else "TEST BAD <name>".
read ZIP NAME: the bytes of one entry on standard output.
"""
import os
import sys
import zipfile


def make_python(out, src):
    with zipfile.ZipFile(out, "w") as z:
        n = 0
        for root, dirs, files in sorted(os.walk(src)):
            dirs.sort()
            rel = os.path.relpath(root, src)
            if rel != ".":
                z.write(root, rel.replace(os.sep, "/") + "/")
            for f in sorted(files):
                full = os.path.join(root, f)
                name = os.path.relpath(full, src).replace(os.sep, "/")
                method = zipfile.ZIP_DEFLATED if n % 2 == 0 else zipfile.ZIP_STORED
                z.write(full, name, compress_type=method)
                n += 1


def extra_ids(extra):
    ids, i = [], 0
    while i + 4 <= len(extra):
        tag = int.from_bytes(extra[i:i + 2], "little")
        size = int.from_bytes(extra[i + 2:i + 4], "little")
        ids.append("%04x" % tag)
        i += 4 + size
    return ",".join(ids) or "-"


def list_zip(path):
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            print("%s\t%d\t%d\t%08x\t%x\t%o\t%s" % (info.filename, info.compress_type, info.file_size, info.CRC,
                                                  info.flag_bits, info.external_attr >> 16, extra_ids(info.extra)))
        bad = z.testzip()
        print("TEST OK" if bad is None else "TEST BAD " + bad)


if __name__ == "__main__":
    cmd = sys.argv[1]
    if cmd == "make-python":
        make_python(sys.argv[2], sys.argv[3])
    elif cmd == "list":
        list_zip(sys.argv[2])
    elif cmd == "read":
        with zipfile.ZipFile(sys.argv[2]) as z:
            sys.stdout.buffer.write(z.read(sys.argv[3]))
    else:
        sys.exit("unknown command " + cmd)
