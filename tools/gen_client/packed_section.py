"""Writer of BigWorld's binary packed-section XML, the format of `.visual_processed` files.

Layout: magic 45 4E A1 62, version byte 0, the sorted table of NUL-terminated element names
ended by an empty name, then the root element. An element is a 16-bit child count, a 32-bit
descriptor of its own value (type in the top 4 bits, end offset of the value in the low 28 bits),
per child a 16-bit name index and a 32-bit descriptor whose end offset runs on from the previous
one, then the data: the element's own value followed by each child's data. A child that has
children of its own is stored as a nested element (type 0); a leaf child stores its raw value.
"""

import struct

MAGIC = b"\x45\x4e\xa1\x62"

SECTION, STRING, INT, FLOATS, BOOL, BLOB = 0, 1, 2, 3, 4, 5


class Node:
    """One element: a typed own value and ordered (name, Node) children."""

    def __init__(self, value=None, kind=None, children=None):
        self.value = value
        self.kind = kind if kind is not None else _guess_kind(value)
        self.children = list(children or [])

    def add(self, name, node):
        self.children.append((name, node))
        return node


def _guess_kind(value):
    if value is None:
        return SECTION
    if isinstance(value, bool):
        return BOOL
    if isinstance(value, int):
        return INT
    if isinstance(value, float):
        return FLOATS
    if isinstance(value, (list, tuple)):
        return FLOATS
    if isinstance(value, (bytes, bytearray)):
        return BLOB
    return STRING


def S(value):
    return Node(value, STRING)


def value_bytes(node):
    v, k = node.value, node.kind
    if k == SECTION:
        return b""
    if k == STRING:
        return v.encode("latin-1") if isinstance(v, str) else bytes(v)
    if k == INT:
        # Integers take the fewest bytes that hold them, as the game's tools write them.
        if v == 0:
            return b""
        for fmt, lo, hi in (("<b", -128, 127), ("<h", -32768, 32767), ("<i", -2 ** 31, 2 ** 31 - 1)):
            if lo <= v <= hi:
                return struct.pack(fmt, v)
        return struct.pack("<q", v)
    if k == FLOATS:
        vals = [v] if isinstance(v, float) else list(v)
        return struct.pack("<%df" % len(vals), *vals)
    if k == BOOL:
        return b"\x01" if v else b""
    return bytes(v)


def _collect_names(node, names):
    for name, child in node.children:
        names.add(name)
        _collect_names(child, names)


def _encode(node, index):
    own = value_bytes(node)
    head = bytearray(struct.pack("<HI", len(node.children), (node.kind << 28) | len(own)))
    data = bytearray(own)
    for name, child in node.children:
        if child.children:
            payload, kind = _encode(child, index), SECTION
        else:
            payload, kind = value_bytes(child), child.kind
        data += payload
        if len(data) >= 1 << 28:
            raise ValueError("packed section too large")
        head += struct.pack("<HI", index[name], (kind << 28) | len(data))
    return bytes(head + data)


def encode(root):
    names = set()
    _collect_names(root, names)
    table = sorted(names)
    index = {n: i for i, n in enumerate(table)}
    out = bytearray(MAGIC + b"\x00")
    for n in table:
        out += n.encode("ascii") + b"\x00"
    out += b"\x00"
    out += _encode(root, index)
    return bytes(out)
