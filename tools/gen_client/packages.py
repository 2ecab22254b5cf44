"""Game packages (`res/packages/*.pkg`): zip archives with `/` separators and folder entries.

Entries are stored (method 0) like the game's own, with no extra fields and a fixed time stamp;
`deflate` compresses them instead, to show that readers do not depend on stored entries.
"""

import zipfile

STAMP = (2024, 3, 13, 12, 0, 0)


class PackageWriter:
    def __init__(self, path, deflate=False):
        self.path = path
        self.method = zipfile.ZIP_DEFLATED if deflate else zipfile.ZIP_STORED
        self.zip = zipfile.ZipFile(path, "w", allowZip64=True)
        self.folders = set()
        self.files = []  # (item path, size)
        self.entries = 0

    def _info(self, name):
        zi = zipfile.ZipInfo(name, STAMP)
        zi.create_system = 0  # packed on Windows
        zi.compress_type = self.method
        zi.extra = b""
        return zi

    def _folder(self, name):
        if name in self.folders:
            return
        parent = name[:-1].rpartition("/")[0]
        if parent:
            self._folder(parent + "/")
        self.folders.add(name)
        zi = self._info(name)
        zi.compress_type = zipfile.ZIP_STORED
        zi.external_attr = 0x10  # MS-DOS directory attribute
        self.zip.writestr(zi, b"")
        self.entries += 1

    def add(self, item, data):
        if "\\" in item or item.startswith("/") or ".." in item.split("/"):
            raise ValueError("bad item path: " + item)
        folder = item.rpartition("/")[0]
        if folder:
            self._folder(folder + "/")
        zi = self._info(item)
        zi.external_attr = 0x20  # MS-DOS archive attribute
        self.zip.writestr(zi, data)
        self.files.append((item, len(data)))
        self.entries += 1

    def written(self):
        """Bytes written so far."""
        return self.zip.fp.tell()

    def close(self):
        self.zip.close()
