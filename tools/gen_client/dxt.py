"""A small DXT1/DXT5 encoder and DDS writer for synthetic textures.

Quality does not matter here, validity and variety do: every block is a legal block, DXT1
textures with alpha use the 3-colour mode for their transparent pixels, DXT5 alpha blocks use
both the 8-value and the 6-value (with exact 0 and 255) modes.
"""

import struct

DXT1 = 1
DXT5 = 2

FOURCC = {DXT1: b"DXT1", DXT5: b"DXT5"}
BLOCK_BYTES = {DXT1: 8, DXT5: 16}


def _q565(r, g, b):
    return ((r * 31 + 127) // 255) << 11 | ((g * 63 + 127) // 255) << 5 | ((b * 31 + 127) // 255)


def _expand565(c):
    r, g, b = (c >> 11) & 31, (c >> 5) & 63, c & 31
    return (r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2)


def _bbox(px):
    r, g, b = [p[0] for p in px], [p[1] for p in px], [p[2] for p in px]
    return (min(r), min(g), min(b)), (max(r), max(g), max(b))


def _colour_block(px, transparent_mode):
    """Encodes the colour half of a block; px holds 16 (r, g, b, a) tuples."""
    if transparent_mode and any(p[3] < 128 for p in px):
        # 3-colour mode (colour0 <= colour1): index 3 is transparent black.
        opaque = [p for p in px if p[3] >= 128]
        if not opaque:
            return struct.pack("<HHI", 0, 0, 0xFFFFFFFF)
        lo, hi = _bbox(opaque)
        c0, c1 = _q565(*lo), _q565(*hi)
        e0, e1 = _expand565(c0), _expand565(c1)
        pal = (e0, e1, tuple((a + b) // 2 for a, b in zip(e0, e1)))
        bits = 0
        for i, p in enumerate(px):
            if p[3] < 128:
                idx = 3
            else:
                best = None
                for k, q in enumerate(pal):
                    d = (p[0] - q[0]) ** 2 + (p[1] - q[1]) ** 2 + (p[2] - q[2]) ** 2
                    if best is None or d < best:
                        best, idx = d, k
            bits |= idx << (2 * i)
        return struct.pack("<HHI", c0, c1, bits)
    lo, hi = _bbox(px)
    c0, c1 = _q565(*hi), _q565(*lo)
    if c0 == c1:
        return struct.pack("<HHI", c0, c1, 0)
    # 4-colour mode (colour0 > colour1): project each pixel on the endpoint axis.
    e0, e1 = _expand565(c0), _expand565(c1)
    ax = (e1[0] - e0[0], e1[1] - e0[1], e1[2] - e0[2])
    den = ax[0] * ax[0] + ax[1] * ax[1] + ax[2] * ax[2]
    order = (0, 2, 3, 1)
    bits = 0
    for i, p in enumerate(px):
        t = ((p[0] - e0[0]) * ax[0] + (p[1] - e0[1]) * ax[1] + (p[2] - e0[2]) * ax[2]) * 3
        k = (t + den // 2) // den if den else 0
        bits |= order[0 if k < 0 else 3 if k > 3 else k] << (2 * i)
    return struct.pack("<HHI", c0, c1, bits)


def _alpha_block(alphas):
    amin, amax = min(alphas), max(alphas)
    if amin == amax:
        return bytes((amax, amin, 0, 0, 0, 0, 0, 0))
    inner = [a for a in alphas if 0 < a < 255]
    if inner and (amin == 0 or amax == 255) and max(inner) - min(inner) < (amax - amin) // 2:
        # 6-value mode (alpha0 <= alpha1) with exact 0 and 255 at indices 6 and 7.
        a0, a1 = min(inner), max(inner)
        pal = [a0, a1] + [((5 - i) * a0 + i * a1) // 5 for i in range(1, 5)] + [0, 255]
    else:
        a0, a1 = amax, amin
        pal = [a0, a1] + [((7 - i) * a0 + i * a1) // 7 for i in range(1, 7)]
    bits = 0
    for i, a in enumerate(alphas):
        best, idx = 1 << 30, 0
        for k, v in enumerate(pal):
            d = abs(a - v)
            if d < best:
                best, idx = d, k
        bits |= idx << (3 * i)
    return bytes((a0, a1)) + bits.to_bytes(6, "little")


def encode_block(fmt, px, alpha=False):
    """One 4x4 block. alpha: a DXT1 texture with 1-bit alpha (3-colour mode where needed)."""
    if fmt == DXT1:
        return _colour_block(px, alpha)
    return _alpha_block([p[3] for p in px]) + _colour_block(px, False)


def encode_image(fmt, w, h, pixels, alpha=False):
    """pixels: w*h (r, g, b, a) tuples, rows top to bottom. Edge pixels fill partial blocks."""
    out = bytearray()
    for by in range(0, h, 4):
        rows = [min(by + j, h - 1) * w for j in range(4)]
        for bx in range(0, w, 4):
            cols = [min(bx + i, w - 1) for i in range(4)]
            px = [pixels[r + c] for r in rows for c in cols]
            out += encode_block(fmt, px, alpha)
    return bytes(out)


def level_size(fmt, w, h):
    return ((w + 3) // 4) * ((h + 3) // 4) * BLOCK_BYTES[fmt]


def mip_dims(w, h, chain):
    """Level sizes of a full chain down to 1x1 (chain True), only level 0 (False), or the first
    `chain` levels of the full chain (a number), as some tools leave a chain cut short."""
    if chain is False:
        return [(w, h)]
    dims = []
    while w > 1 or h > 1:
        dims.append((w, h))
        w, h = max(1, w // 2), max(1, h // 2)
    dims.append((1, 1))
    if chain is True:
        return dims
    if not 1 <= chain <= len(dims):
        raise ValueError("a %dx%d chain has no %r levels" % (dims[0][0], dims[0][1], chain))
    return dims[:chain]


def dds_header(fmt, w, h, levels, style=0):
    """The 128-byte header. style 1 writes the flags some game tools write (mipmap-count flag
    without pitch, mipmap count 1 for a single level), which readers must accept as well."""
    if levels > 1:
        flags = 0x0048100F if style == 0 else 0x000A1007
        mips, caps = levels, 0x00401008
    else:
        flags = 0x00081007 if style == 0 else 0x000A1007
        mips, caps = (0 if style == 0 else 1), 0x00001000
    head = struct.pack("<4s7I", b"DDS ", 124, flags, h, w, level_size(fmt, w, h), 0, mips)
    head += bytes(44)
    head += struct.pack("<2I4s5I", 32, 4, FOURCC[fmt], 0, 0, 0, 0, 0)
    head += struct.pack("<5I", caps, 0, 0, 0, 0)
    assert len(head) == 128
    return head


# --- procedural pictures -------------------------------------------------------------------

def _hash(x, y, s):
    v = (x * 73856093) ^ (y * 19349663) ^ (s * 83492791)
    v = (v ^ (v >> 13)) * 1274126177
    return (v ^ (v >> 16)) & 0xFF


def _lerp(a, b, t256):
    return a + (b - a) * t256 // 256


def picture(kind, w, h, seed, colours):
    """A w x h RGBA picture. The same seed gives the same picture at every size, so lower mipmap
    levels look like smaller copies of level 0.

    kinds: 'albedo' (patches, gradient, noise), 'cutout' (albedo with hard transparent holes),
    'soft' (albedo with a soft alpha ramp and fully transparent and opaque areas), 'normal'
    (bluish normal map, alpha ramp), 'gloss' (grey noise), 'ao' (grey gradient).
    """
    c = colours
    grid = 6
    cells = [_hash(i, j, seed) % len(c) for j in range(grid) for i in range(grid)]
    holes = [_hash(i, j, seed + 7) < 70 for j in range(grid) for i in range(grid)]
    px = []
    append = px.append
    for y in range(h):
        gy = y * grid // h
        ty = y * 256 // h
        for x in range(w):
            gx = x * grid // w
            tx = x * 256 // w
            n = _hash(x, y, seed) - 128
            if kind == "normal":
                r = 128 + (tx - 128) // 3 + n // 16
                g = 128 + (ty - 128) // 3 + n // 16
                append((r, g, 240 + n // 32, _lerp(40, 250, tx)))
                continue
            if kind in ("gloss", "ao"):
                v = (_lerp(60, 220, (tx + ty) // 2) if kind == "ao" else 128) + n // 3
                v = 0 if v < 0 else 255 if v > 255 else v
                append((v, v, v, 255))
                continue
            base = c[cells[gy * grid + gx]]
            other = c[(cells[gy * grid + gx] + 1) % len(c)]
            r = _lerp(base[0], other[0], tx // 3) + n // 8
            g = _lerp(base[1], other[1], tx // 3) + n // 8
            b = _lerp(base[2], other[2], ty // 3) + n // 8
            r = 0 if r < 0 else 255 if r > 255 else r
            g = 0 if g < 0 else 255 if g > 255 else g
            b = 0 if b < 0 else 255 if b > 255 else b
            a = 255
            if kind == "cutout" and holes[gy * grid + gx]:
                a = 0
            elif kind == "soft":
                a = 0 if holes[gy * grid + gx] else 255 if ty < 96 else _lerp(255, 30, (ty - 96) * 8 // 5)
            append((r, g, b, a))
    return px


PALETTES = [
    [(86, 96, 58), (120, 112, 70), (60, 66, 40), (140, 130, 98)],      # olive
    [(150, 140, 110), (110, 100, 80), (190, 180, 150), (70, 64, 50)],  # desert
    [(200, 200, 205), (150, 155, 160), (90, 95, 100), (230, 230, 235)],  # winter
    [(70, 80, 90), (110, 60, 40), (40, 45, 50), (160, 90, 50)],        # rust
    [(30, 90, 40), (20, 50, 25), (90, 130, 60), (60, 40, 20)],         # forest
]


TILE = 64
TILES_PER_SET = 6
_cache = {}


def _encoded(fmt, w, h, kind, seed):
    """Blocks of one picture, cached."""
    key = ("pic", fmt, w, h, kind, seed)
    hit = _cache.get(key)
    if hit is None:
        alpha = fmt == DXT1 and kind in ("cutout", "soft")
        hit = encode_image(fmt, w, h, picture(kind, w, h, seed, PALETTES[seed % len(PALETTES)]), alpha)
        _cache[key] = hit
    return hit


def _level(fmt, w, h, kind, seed):
    """One mipmap level. Levels larger than a tile are laid out from a shared set of encoded
    tiles (picked per tile position by the seed), so big textures cost no more to make than
    small ones while staying valid and varied."""
    tw, th = min(TILE, w), min(TILE, h)
    if (tw, th) == (w, h) or w % tw or h % th or tw % 4 or th % 4:
        return _encoded(fmt, w, h, kind, seed)
    bb = BLOCK_BYTES[fmt]
    row = (tw // 4) * bb
    tiles = [_encoded(fmt, tw, th, kind, 7919 * (t + 1)) for t in range(TILES_PER_SET)]
    out = bytearray()
    for ty in range(h // th):
        picks = [tiles[_hash(tx, ty, seed) % TILES_PER_SET] for tx in range(w // tw)]
        for r in range(th // 4):
            for tile in picks:
                out += tile[r * row:(r + 1) * row]
    return bytes(out)


def make_dds(fmt, w, h, chain, kind, seed, style=0):
    """A complete DDS file as bytes; identical requests are built once."""
    # True == 1 as a dictionary key, so the chain is spelt out.
    key = ("dds", fmt, w, h, "full" if chain is True else "none" if chain is False else chain, kind, seed, style)
    hit = _cache.get(key)
    if hit is not None:
        return hit
    levels = mip_dims(w, h, chain)
    body = bytearray(dds_header(fmt, w, h, len(levels), style))
    for lw, lh in levels:
        body += _level(fmt, lw, lh, kind, seed)
    data = bytes(body)
    _cache[key] = data
    return data


def clear_cache():
    _cache.clear()


def stamp(dds, fmt, rgb):
    """Overwrites the first block of level 0 with one flat opaque colour, so that files sharing
    a cached picture still differ byte for byte."""
    block = encode_block(fmt, [(rgb[0], rgb[1], rgb[2], 255)] * 16)
    return dds[:128] + block + dds[128 + len(block):]


def dds_size(fmt, w, h, chain):
    return 128 + sum(level_size(fmt, lw, lh) for lw, lh in mip_dims(w, h, chain))


# --- formats the repaint refuses ---------------------------------------------------------

REFUSED = ("DXT3", "ATI2", "DX10", "RGBA")
DXGI_BC1_UNORM = 71


def _dxt3_block(px):
    """Explicit 4-bit alpha, then a colour block read in 4-colour mode."""
    bits = 0
    for i, p in enumerate(px):
        bits |= (p[3] >> 4) << (4 * i)
    return bits.to_bytes(8, "little") + _colour_block(px, False)


def refused_dds(kind, w, h, seed):
    """A single-level texture the game can hold but the repaint refuses: DXT3, ATI2 (BC5, two
    interpolated channels), BC1 data behind a DX10 header, or uncompressed 32-bit BGRA."""
    pic = picture("normal" if kind == "ATI2" else "soft", w, h, seed, PALETTES[seed % len(PALETTES)])
    if kind == "RGBA":
        head = struct.pack("<4s7I", b"DDS ", 124, 0x0000100F, h, w, w * 4, 0, 0) + bytes(44)
        head += struct.pack("<2I4s5I", 32, 0x41, b"\0\0\0\0", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
        head += struct.pack("<5I", 0x00001000, 0, 0, 0, 0)
        return head + b"".join(bytes((p[2], p[1], p[0], p[3])) for p in pic)
    if kind == "DX10":
        head = bytearray(dds_header(DXT1, w, h, 1))
        head[84:88] = b"DX10"
        head += struct.pack("<5I", DXGI_BC1_UNORM, 3, 0, 1, 0)  # 2D texture, one array slice
        return bytes(head) + encode_image(DXT1, w, h, pic)
    head = bytearray(dds_header(DXT5, w, h, 1))
    head[84:88] = kind.encode()
    out = bytearray(head)
    for by in range(0, h, 4):
        rows = [min(by + j, h - 1) * w for j in range(4)]
        for bx in range(0, w, 4):
            px = [pic[r + min(bx + i, w - 1)] for r in rows for i in range(4)]
            if kind == "DXT3":
                out += _dxt3_block(px)
            else:
                out += _alpha_block([p[0] for p in px]) + _alpha_block([p[1] for p in px])
    return bytes(out)
