"""The generator's DXT encoder, checked through Pillow's decoder: the pictures come back close to
what was encoded, transparency survives in both formats, and tiled levels stay whole blocks."""

import io
import struct
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from gen_client import dxt  # noqa: E402

try:
    from PIL import Image
except ImportError:
    Image = None


def decode(data):
    with Image.open(io.BytesIO(data)) as im:
        return list(im.convert("RGBA").getdata())


class DxtEncoder(unittest.TestCase):
    def setUp(self):
        self.assertIsNotNone(Image, "python3 Pillow (Debian python3-pil) is needed")

    def mean_error(self, src, got, channels):
        return sum(abs(a[k] - b[k]) for a, b in zip(src, got) for k in channels) / (len(src) * len(channels))

    def test_opaque_pictures_come_back_close(self):
        for fmt in (dxt.DXT1, dxt.DXT5):
            for kind in ("albedo", "gloss", "ao", "normal"):
                src = dxt.picture(kind, 32, 32, 11, dxt.PALETTES[0])
                data = dxt.dds_header(fmt, 32, 32, 1) + dxt.encode_image(fmt, 32, 32, src)
                got = decode(data)
                self.assertLess(self.mean_error(src, got, (0, 1, 2)), 12, (fmt, kind))
                if fmt == dxt.DXT5:
                    self.assertLess(self.mean_error(src, got, (3,)), 6, kind)

    def test_dxt1_holes_decode_transparent_and_the_rest_opaque(self):
        src = dxt.picture("cutout", 64, 64, 3, dxt.PALETTES[2])
        self.assertTrue(any(p[3] == 0 for p in src) and any(p[3] == 255 for p in src))
        got = decode(dxt.dds_header(dxt.DXT1, 64, 64, 1) + dxt.encode_image(dxt.DXT1, 64, 64, src, alpha=True))
        for s, g in zip(src, got):
            self.assertEqual(g[3], 0 if s[3] < 128 else 255)
        opaque = [(s, g) for s, g in zip(src, got) if s[3] >= 128]
        self.assertLess(self.mean_error([s for s, _ in opaque], [g for _, g in opaque], (0, 1, 2)), 12)

    def test_dxt5_keeps_exact_0_and_255_in_mixed_alpha_blocks(self):
        alphas = [0, 255, 100, 110] * 4
        px = [(10 * i, 200 - 5 * i, 60, a) for i, a in enumerate(alphas)]
        block = dxt.encode_block(dxt.DXT5, px)
        self.assertLessEqual(block[0], block[1])  # 6-value mode
        got = decode(dxt.dds_header(dxt.DXT5, 4, 4, 1) + block)
        self.assertEqual([g[3] for g in got][:2], [0, 255])
        self.assertTrue(all(abs(g[3] - a) <= 4 for g, a in zip(got, alphas)))

    def test_flat_and_fully_transparent_blocks(self):
        flat = dxt.encode_block(dxt.DXT1, [(200, 100, 50, 255)] * 16)
        got = decode(dxt.dds_header(dxt.DXT1, 4, 4, 1) + flat)
        self.assertTrue(all(abs(g[0] - 200) <= 8 and abs(g[1] - 100) <= 4 and abs(g[2] - 50) <= 8 for g in got))
        clear = dxt.encode_block(dxt.DXT1, [(0, 0, 0, 0)] * 16, alpha=True)
        self.assertTrue(all(g[3] == 0 for g in decode(dxt.dds_header(dxt.DXT1, 4, 4, 1) + clear)))

    def test_whole_files_with_chains_and_tiles(self):
        for fmt, w, h, chain in ((dxt.DXT1, 256, 128, True), (dxt.DXT5, 128, 512, False), (dxt.DXT1, 64, 16, True)):
            data = dxt.make_dds(fmt, w, h, chain, "albedo", 4)
            levels = dxt.mip_dims(w, h, chain)
            self.assertEqual(len(data), dxt.dds_size(fmt, w, h, chain))
            self.assertEqual(struct.unpack_from("<I", data, 28)[0], len(levels) if chain else 0)
            self.assertEqual(levels[-1], (1, 1) if chain else (w, h))
            got = decode(data)
            self.assertEqual(len(got), w * h)
            # A tiled level still holds several different pictures, not one repeated tile.
            rows = {tuple(got[y * w:(y * w) + 16]) for y in range(0, h, 64)}
            self.assertGreater(len(rows), 1 if h > 64 else 0)
        self.assertEqual(dxt.mip_dims(64, 16, True), [(64, 16), (32, 8), (16, 4), (8, 2), (4, 1), (2, 1), (1, 1)])

    def test_refused_formats_hold_what_their_headers_say(self):
        w, h = 32, 16
        for kind in dxt.REFUSED:
            data = dxt.refused_dds(kind, w, h, 5)
            src = dxt.picture("normal" if kind == "ATI2" else "soft", w, h, 5, dxt.PALETTES[0])
            if kind == "DX10":
                # BC1 blocks behind the extra 20-byte header: read them through a DXT1 header.
                self.assertEqual(data[84:88], b"DX10")
                self.assertEqual(struct.unpack_from("<5I", data, 128), (71, 3, 0, 1, 0))
                data = dxt.dds_header(dxt.DXT1, w, h, 1) + data[148:]
                self.assertEqual(len(data), 128 + 8 * 8 * 4)
            got = decode(data)
            self.assertEqual(len(got), w * h, kind)
            channels = (0, 1) if kind == "ATI2" else (0, 1, 2)
            self.assertLess(self.mean_error(src, got, channels), 1 if kind == "RGBA" else 12, kind)
            if kind in ("DXT3", "RGBA"):
                self.assertLess(self.mean_error(src, got, (3,)), 9, kind)

    def test_stamp_changes_only_the_first_block(self):
        data = dxt.make_dds(dxt.DXT5, 64, 64, True, "soft", 9)
        stamped = dxt.stamp(data, dxt.DXT5, (1, 2, 3))
        self.assertEqual(len(stamped), len(data))
        self.assertEqual(stamped[:128], data[:128])
        self.assertEqual(stamped[144:], data[144:])
        self.assertNotEqual(stamped[128:144], data[128:144])


if __name__ == "__main__":
    unittest.main()
