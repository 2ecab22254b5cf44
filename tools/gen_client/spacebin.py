"""Compiled map files (`space.bin`).

The file opens with a table of 24-byte rows (after a run of zero bytes in maps planted to put the
BSMA row at a chosen byte): tag, version, offset, 0, length, 0. The first row is
`BWTB` (offset = start of the section data, length = size of the table, last field = number of
sections), then one row per section. The `BSMA` section (materials) holds five vectors (element
size, element count, elements) and then the embedded textures: a count and per texture a name
hash, a value, a mip count, the DDS length and bytes, the format block length and bytes, the name
length and the name.
"""

import struct
import zlib

ROW = 24
# Byte offset of the BSMA row when the table starts at byte 0 (the eighth row).
BSMA_ROW = 7 * ROW
BSMA_VECTORS = ((20, "materials"), (4, "fx hashes"), (12, "properties"), (64, "matrices"), (16, "vectors"))


def _filler(rng, n):
    return rng.randbytes(n) if n > 0 else b""


def _bsma(rng, textures):
    """textures: (name, dds bytes, mip count, fourcc) tuples. Returns the section bytes and, per
    texture, (offset of the DDS inside the section, its length)."""
    out = bytearray()
    counts = (len(textures) * 2 + 3, len(textures) + 2, len(textures) * 6 + 5, 3, 9)
    for (size, _), count in zip(BSMA_VECTORS, counts):
        out += struct.pack("<II", size, count)
        for i in range(count):
            if size == 20:
                out += struct.pack("<5I", i % 7, i * 3, 3, 0xFFFFFFFF, i)
            elif size == 4:
                out += struct.pack("<I", zlib.crc32(b"fx%d" % i))
            elif size == 12:
                out += struct.pack("<III", zlib.crc32(b"prop%d" % i), i % 5, i)
            elif size == 64:
                out += struct.pack("<16f", *([1.0, 0, 0, 0, 0, 1.0, 0, 0, 0, 0, 1.0, 0, i, 0, i, 1.0]))
            else:
                out += struct.pack("<4f", i * 0.5, 1.0, 0.25, 1.0)
    out += struct.pack("<I", len(textures))
    places = []
    for name, dds, mips, fourcc in textures:
        nb = name.encode("latin-1")
        out += struct.pack("<III", zlib.crc32(nb), 1, mips)
        out += struct.pack("<I", len(dds))
        places.append((len(out), len(dds)))
        out += dds
        fmt = fourcc + struct.pack("<I", 0x11)
        out += struct.pack("<I", len(fmt)) + fmt
        out += struct.pack("<I", len(nb)) + nb
    out += _filler(rng, rng.randrange(16, 64))
    return bytes(out), places


def build(rng, textures, min_size, map_name, exact_size=None, preamble=0):
    """A complete space.bin of at least min_size bytes, or of exactly exact_size bytes. With a
    preamble, that many zero bytes come before the table (so the BSMA row can be put at a chosen
    byte). Returns (bytes, facts) where facts gives the BSMA row's byte offset, the section offset
    and length and each texture's absolute offset."""
    bsma, places = _bsma(rng, textures)
    strings = b"".join(s.encode("ascii") + b"\x00" for s in (
        "spaces/%s/space.settings" % map_name, "content/Buildings", "content/Railway",
        "content/MilitaryEnvironment", "system/maps/terrain_default.dds"))
    # Most of the bulk sits before BSMA, so its offset is far from the table.
    small = [("BWST", 2, strings), ("BWAL", 1, _filler(rng, 4096)), ("BSGD", 2, None),
             ("BWT2", 3, _filler(rng, 65536)), ("BSMI", 4, _filler(rng, 8192)),
             ("BSMO", 2, _filler(rng, 16384)), ("BSMA", 9, bsma), ("WGSD", 1, _filler(rng, 2048)),
             ("BWWa", 2, _filler(rng, 1024)), ("BWSG", 1, _filler(rng, 32768))]
    table_size = ROW * (len(small) + 1)
    fixed = preamble + table_size + sum(len(d) for _, _, d in small if d is not None)
    bulk = max(4096, (exact_size or min_size) - fixed + 1)
    sections = [(tag, ver, data if data is not None else _filler(rng, bulk)) for tag, ver, data in small]
    data, facts = _assemble(sections, preamble, pad_last=exact_size is None)
    if exact_size is not None:
        # The last section takes up the difference; it is not padded, so any size can be met.
        tag, ver, last = sections[-1]
        grow = exact_size - len(data)
        if len(last) + grow < 1024:
            raise ValueError("space.bin cannot be made %d bytes" % exact_size)
        sections[-1] = (tag, ver, last[:len(last) + grow] if grow < 0 else last + bytes(grow))
        data, facts = _assemble(sections, preamble, pad_last=False)
        assert len(data) == exact_size
    facts["texture_offsets"] = [(facts["bsma_offset"] + p, n) for p, n in places]
    # Readers look for the tag in the first bytes only; nothing there may spell it before the row.
    if data.find(b"BSMA", 0, 1004) not in (facts["bsma_row"], -1):
        raise ValueError("a BSMA tag before the table row")
    return data, facts


def _assemble(sections, preamble, pad_last):
    table_size = ROW * (len(sections) + 1)
    start = preamble + table_size
    rows = bytearray(struct.pack("<4sIIIII", b"BWTB", 1, start, 0, table_size - ROW, len(sections)))
    body = bytearray()
    facts = {}
    for k, (tag, ver, data) in enumerate(sections):
        off = start + len(body)
        if tag == "BSMA":
            facts["bsma_row"] = preamble + len(rows)
            facts["bsma_offset"] = off
            facts["bsma_length"] = len(data)
        rows += struct.pack("<4sIIIII", tag.encode("ascii"), ver, off, 0, len(data), 0)
        body += data
        if pad_last or k + 1 < len(sections):
            body += b"\x00" * (-len(body) % 4)
    data = bytes(preamble) + bytes(rows + body)
    facts["size"] = len(data)
    facts["texture_offsets"] = []
    return data, facts
