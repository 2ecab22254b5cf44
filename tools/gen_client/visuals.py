"""Model files of a vehicle part: `.model`, `.visual_processed` and `.primitives_processed`."""

import struct

from .packed_section import Node, S, encode

CRASH_FX = "shaders/std_effects/PBS_tank_crash.fx"
TANK_FX = "shaders/std_effects/PBS_tank.fx"
MAP_FX = "shaders/std_effects/PBS_system.fx"

TEXTURE_PROPERTIES = ("diffuseMap", "normalMap", "excludeMaskAndAOMap", "metallicGlossMap")

# The descriptor before a texture property's name holds the length of name + path. The game's
# paths keep that below 256; longer ones are written only where asked for (long_ok), since the
# length's low byte then wraps.
MAX_REFERENCE = 255


def _identity(scale=1.0):
    return [scale, 0.0, 0.0, 0.0, scale, 0.0, 0.0, 0.0, scale, 0.0, 0.0, 0.0]


def _property(name, child_name, value):
    p = Node(name)
    p.add(child_name, value if isinstance(value, Node) else Node(value))
    return p


def material(identifier, fx, textures, extras=True, long_ok=False):
    """textures: (property name, path) pairs in file order."""
    m = Node()
    m.add("identifier", S(identifier))
    m.add("fx", S(fx))
    m.add("collisionFlags", Node(0))
    m.add("materialKind", Node(0))
    for name, path in textures:
        if len(name) + len(path) > MAX_REFERENCE and not long_ok:
            raise ValueError("texture reference too long: " + path)
        m.add("property", _property(name, "Texture", S(path)))
    if extras:
        m.add("property", _property("alphaTestEnable", "Bool", Node(False)))
        m.add("property", _property("doubleSided", "Bool", Node(False)))
        m.add("property", _property("alphaReference", "Int", Node(0)))
        m.add("property", _property("g_useNormalPackDXT1", "Bool", Node(False)))
    return m


def visual(node_name, materials, compact=False, long_ok=False):
    """materials: (identifier, fx, textures) triples. compact leaves out the scene graph and the
    bounding data, as small helper visuals do."""
    root = Node()
    if not compact:
        scene = root.add("node", Node())
        scene.add("identifier", S("Scene Root"))
        scene.add("transform", Node(_identity()))
        child = scene.add("node", Node())
        child.add("identifier", S(node_name))
        child.add("transform", Node(_identity()))
    rs = root.add("renderSet", Node())
    rs.add("treatAsWorldSpaceObject", Node(False))
    rs.add("node", S(node_name))
    geo = rs.add("geometry", Node())
    geo.add("vertices", S("vertices"))
    geo.add("primitive", S("indices"))
    for i, (ident, fx, textures) in enumerate(materials):
        group = geo.add("primitiveGroup", Node(i))
        group.add("material", material(ident, fx, textures, extras=not compact, long_ok=long_ok))
        if not compact:
            group.add("groupOrigin", Node([0.0, 0.5 * i, 0.0]))
    if not compact:
        bb = root.add("boundingBox", Node())
        bb.add("min", Node([-1.5, 0.0, -3.0]))
        bb.add("max", Node([1.5, 2.0, 3.0]))
        root.add("geometrySize", Node(4096 + 512 * len(materials)))
        root.add("minUVDensity", Node(0.25))
        root.add("uvDensity", Node(1.0))
    return root


def visual_bytes(node_name, materials, compact=False, size=None, long_ok=False):
    """Encodes a visual; with size, lengthens the first material's identifier so that the file
    is exactly that many bytes (every other offset runs on unchanged). long_ok lets a texture
    reference reach 256 bytes or more."""
    data = encode(visual(node_name, materials, compact, long_ok))
    if size is None:
        return data
    if len(data) > size:
        raise ValueError("visual of %d bytes cannot be made %d bytes" % (len(data), size))
    ident, fx, tex = materials[0]
    materials = [(ident + "_" * (size - len(data)), fx, tex)] + list(materials[1:])
    data = encode(visual(node_name, materials, compact, long_ok))
    assert len(data) == size
    return data


def model_bytes(visual_path, parent=None):
    """A `.model` file: a packed section naming its visual (the path without extension)."""
    root = Node()
    if parent:
        root.add("parent", S(parent))
    root.add("nodefullVisual", S(visual_path))
    meta = root.add("metaData", Node())
    meta.add("created_by", S("gen_client"))
    root.add("extent", Node(20.0))
    return encode(root)


PRIMITIVES_MAGIC = b"\x65\x4e\xa1\x42"


def primitives_bytes(seed, vertices=64):
    """A `.primitives_processed` container: data blocks, then an index of (length, name) rows
    and the index length, as the game's processed primitives are laid out."""
    blocks = []
    vfmt = b"xyznuviiiwwtb".ljust(64, b"\x00")
    vdata = bytearray(vfmt + struct.pack("<I", vertices))
    state = seed & 0xFFFFFFFF
    for _ in range(vertices * 8):
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        vdata += struct.pack("<f", ((state >> 8) & 0xFFFF) / 4096.0)
    blocks.append(("vertices", bytes(vdata)))
    ifmt = b"list".ljust(64, b"\x00")
    idx = bytearray(ifmt + struct.pack("<II", vertices * 3, 1))
    for i in range(vertices * 3):
        idx += struct.pack("<H", (i * 7) % vertices)
    idx += struct.pack("<4I", 0, vertices, 0, vertices)
    blocks.append(("indices", bytes(idx)))
    out = bytearray(PRIMITIVES_MAGIC)
    table = bytearray()
    for name, data in blocks:
        out += data + b"\x00" * (-len(data) % 4)
        nb = name.encode("ascii")
        table += struct.pack("<I", len(data)) + bytes(16) + struct.pack("<I", len(nb))
        table += nb + b"\x00" * (-len(nb) % 4)
    out += table + struct.pack("<I", len(table))
    return bytes(out)
