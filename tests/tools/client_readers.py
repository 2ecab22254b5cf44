"""Readers for the generated client's formats, written apart from the generator so that the
tests never check the generator only against itself."""

import struct

PACKED_MAGIC = b"\x45\x4e\xa1\x62"


class PackedError(ValueError):
    pass


class Elem:
    def __init__(self, kind, value, offset):
        self.kind = kind        # 0 section, 1 string, 2 int, 3 floats, 4 bool, 5 blob
        self.value = value
        self.offset = offset    # file offset where the element's own value starts
        self.children = []      # (name, Elem)

    def all(self, name):
        return [c for n, c in self.children if n == name]

    def first(self, name):
        got = self.all(name)
        return got[0] if got else None


def _leaf(kind, raw, offset):
    if kind == 1:
        value = raw.decode("latin-1")
    elif kind == 2:
        value = int.from_bytes(raw, "little", signed=True) if raw else 0
    elif kind == 3:
        if len(raw) % 4:
            raise PackedError("float data of %d bytes" % len(raw))
        value = list(struct.unpack("<%df" % (len(raw) // 4), raw))
    elif kind == 4:
        if len(raw) > 1:
            raise PackedError("boolean of %d bytes" % len(raw))
        value = bool(raw and raw[0])
    elif kind in (5, 6):
        value = bytes(raw)
    else:
        raise PackedError("unknown type %d" % kind)
    return Elem(kind, value, offset)


def _element(data, start, end, names):
    if end - start < 6:
        raise PackedError("element too short at %d" % start)
    count, own = struct.unpack_from("<HI", data, start)
    table = start + 6
    body = table + 6 * count
    if body > end:
        raise PackedError("child table runs past the element at %d" % start)
    own_kind, own_end = own >> 28, own & 0x0FFFFFFF
    if body + own_end > end:
        raise PackedError("own value runs past the element at %d" % start)
    if own_kind == 0:
        if own_end:
            raise PackedError("section with an own value of %d bytes" % own_end)
        elem = Elem(0, None, body)
    else:
        elem = _leaf(own_kind, data[body:body + own_end], body)
        elem.kind = 0 if count else own_kind
        elem.own_kind = own_kind
    prev = own_end
    for i in range(count):
        idx, desc = struct.unpack_from("<HI", data, table + 6 * i)
        kind, cend = desc >> 28, desc & 0x0FFFFFFF
        if idx >= len(names) or cend < prev or body + cend > end:
            raise PackedError("bad child %d of element at %d" % (i, start))
        if kind == 0:
            child = _element(data, body + prev, body + cend, names) if cend > prev else Elem(0, None, body + prev)
        else:
            child = _leaf(kind, data[body + prev:body + cend], body + prev)
        elem.children.append((names[idx], child))
        prev = cend
    if body + prev != end:
        raise PackedError("element at %d ends at %d, not %d" % (start, body + prev, end))
    return elem


def read_packed(data):
    """Parses a packed section file into an Elem tree; raises PackedError when malformed."""
    if data[:4] != PACKED_MAGIC or len(data) < 6 or data[4] != 0:
        raise PackedError("no packed-section header")
    pos, names = 5, []
    while True:
        end = data.index(b"\x00", pos)
        if end == pos:
            pos += 1
            break
        names.append(data[pos:end].decode("ascii"))
        pos = end + 1
    if names != sorted(names):
        raise PackedError("name table not sorted")
    return _element(data, pos, len(data), names)


def texture_references(root):
    """(property name, texture path, file offset of the name) for every texture property of every
    material, in file order."""
    out = []

    def walk(e):
        for n, c in e.children:
            if n == "property" and c.first("Texture") is not None:
                out.append((c.value, c.first("Texture").value, c.offset))
            walk(c)
    walk(root)
    return out


def fx_strings(root):
    out = []

    def walk(e):
        for n, c in e.children:
            if n == "fx":
                out.append(c.value)
            walk(c)
    walk(root)
    return out


def space_bin_rows(data):
    """The section table: (tag, version, offset, zero, length, last) rows up to the first row
    that is not four printable characters, starting with BWTB (at byte 0, or after a run of
    zero bytes)."""
    rows = []
    pos = len(data) - len(data.lstrip(b"\x00"))
    while pos + 24 <= len(data):
        tag = data[pos:pos + 4]
        if not all(0x20 < b < 0x7f for b in tag):
            break
        rows.append((tag.decode("ascii"),) + struct.unpack_from("<5I", data, pos + 4))
        pos += 24
        if rows[0][0] == "BWTB" and len(rows) == rows[0][5] + 1:
            break
    return rows


def walk_bsma(data, offset, length):
    """Vectors and embedded textures of a BSMA section:
    ([(element size, count)], [(name, texture offset, texture length, mips)], end offset)."""
    pos = offset
    end = offset + length

    def u32():
        nonlocal pos
        if pos + 4 > end:
            raise ValueError("BSMA runs past its section")
        v = struct.unpack_from("<I", data, pos)[0]
        pos += 4
        return v

    vectors = []
    for _ in range(5):
        size, count = u32(), u32()
        vectors.append((size, count))
        pos += size * count
    textures = []
    for _ in range(u32()):
        u32()
        u32()
        mips = u32()
        t = u32()
        tex_at = pos
        pos += t
        b = u32()
        pos += b
        m = u32()
        if pos + m > end:
            raise ValueError("texture name runs past the section")
        textures.append((data[pos:pos + m].decode("latin-1"), tex_at, t, mips))
        pos += m
    return vectors, textures, pos


def dds_expected_size(data):
    """Size a DDS file must have from its header: 128 (148 with a DX10 header) + every level's
    blocks, or 4 bytes a pixel for an uncompressed 32-bit one."""
    height, width = struct.unpack_from("<II", data, 12)
    mips = struct.unpack_from("<I", data, 28)[0]
    pf_flags, fourcc, bits = struct.unpack_from("<I4sI", data, 80)
    if pf_flags & 0x40:
        return 128 + width * height * bits // 8
    head = 128
    if fourcc == b"DX10":
        head += 20
        fourcc = {71: b"DXT1"}[struct.unpack_from("<I", data, 128)[0]]
    bb = {b"DXT1": 8, b"DXT5": 16, b"DXT3": 16, b"ATI2": 16}[fourcc]
    total, w, h = head - 128, width, height
    for _ in range(max(1, mips)):
        total += ((w + 3) // 4) * ((h + 3) // 4) * bb
        w, h = max(1, w // 2), max(1, h // 2)
    return 128 + total
