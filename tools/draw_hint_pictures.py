#!/usr/bin/env python3
"""Draws the eight pictures the front end shows beside its mods: how each mod changes the game.

Each picture sets the game as it is beside or above the game with the mod, in the mod's default
colour. The pictures are plain drawings (no text but percentages), so both languages share them.
Deterministic: the same script gives the same files.

    python3 tools/draw_hint_pictures.py [OUT_DIR]     # default: src/gui/pictures
"""
import math
import os
import random
import sys

from PIL import Image, ImageDraw, ImageFont

SCALE = 3  # drawn at three times the size and scaled down, for smooth edges

SKY = (122, 150, 170)
GROUND = (92, 98, 70)
FRAME = (40, 40, 40)
ARROW = (235, 235, 235)
BURNT = (48, 44, 40)
OLIVE = (88, 96, 60)

DPT = (255, 255, 255)
DPT_INSIDE = (0xB0, 0xB0, 0xB0)
CCT = (0x36, 0x7E, 0xFF)
MEM = (0xFF, 0xE2, 0x00)
CTM = (0xDD, 0x77, 0x44)


def shade(color, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in color)


def font(size):
    for path in ("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                 "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"):
        if os.path.exists(path):
            return ImageFont.truetype(path, size * SCALE)
    return ImageFont.load_default()


class Canvas:
    def __init__(self, width, height, background=FRAME):
        self.width, self.height = width, height
        self.image = Image.new("RGB", (width * SCALE, height * SCALE), background)
        self.draw = ImageDraw.Draw(self.image)
        self.background = background
        self.panels = []

    def frame(self):
        """Paints the frame over whatever the drawings left outside their panels."""
        mask = Image.new("L", self.image.size, 255)
        md = ImageDraw.Draw(mask)
        for x0, y0, x1, y1 in self.panels:
            md.rectangle([self.p(x0, y0), self.p(x1, y1)], fill=0)
        self.image.paste(Image.new("RGB", self.image.size, self.background), mask=mask)

    def p(self, x, y):
        return (x * SCALE, y * SCALE)

    def polygon(self, points, fill, outline=None):
        self.draw.polygon([self.p(x, y) for x, y in points], fill=fill, outline=outline)

    def rect(self, x0, y0, x1, y1, fill, radius=0):
        self.draw.rounded_rectangle([self.p(x0, y0), self.p(x1, y1)], radius=radius * SCALE, fill=fill)

    def ellipse(self, x0, y0, x1, y1, fill):
        self.draw.ellipse([self.p(x0, y0), self.p(x1, y1)], fill=fill)

    def line(self, points, fill, width):
        self.draw.line([self.p(x, y) for x, y in points], fill=fill, width=int(width * SCALE), joint="curve")

    def text(self, x, y, s, size, fill):
        f = font(size)
        box = self.draw.textbbox((0, 0), s, font=f)
        self.draw.text((x * SCALE - (box[2] - box[0]) / 2, y * SCALE), s, font=f, fill=fill)

    def save(self, path):
        self.image.resize((self.width, self.height), Image.LANCZOS).save(path, optimize=True)


def scene(c, x0, y0, x1, y1, horizon=0.45):
    """A panel with sky and ground."""
    c.panels.append((x0, y0, x1, y1))
    split = y0 + (y1 - y0) * horizon
    c.rect(x0, y0, x1, split, SKY)
    c.rect(x0, split, x1, y1, GROUND)
    rng = random.Random(int(x0 * 1000 + y0))
    for _ in range(int((x1 - x0) * (y1 - split) / 60)):
        gx, gy = rng.uniform(x0, x1), rng.uniform(split, y1)
        c.ellipse(gx, gy, gx + 3, gy + 1.5, shade(GROUND, rng.uniform(0.8, 1.15)))
    return split


def arrow(c, x, y, length, vertical=False):
    """An arrow from the game as it is to the game with the mod."""
    if vertical:
        c.line([(x, y), (x, y + length - 10)], ARROW, 6)
        c.polygon([(x - 12, y + length - 14), (x + 12, y + length - 14), (x, y + length)], ARROW)
    else:
        c.line([(x, y), (x + length - 10, y)], ARROW, 6)
        c.polygon([(x + length - 14, y - 12), (x + length - 14, y + 12), (x + length, y)], ARROW)


def spots(c, x, y, s, rng, count, color, size):
    for _ in range(count):
        sx, sy = x + rng.uniform(15, 160) * s, y + rng.uniform(-10, 50) * s
        r = rng.uniform(3, size) * s
        c.ellipse(sx - r, sy - r * 0.6, sx + r, sy + r * 0.6, color)


def tank(c, x, y, s, body, tracks=None, wrecked=False, dirt=0, seed=1, inside=None):
    """A tank in side view facing right; (x, y) is the top of its hull, s its scale (1 = 200 px long)."""
    tracks = tracks or shade(body, 0.55)
    rng = random.Random(seed)
    # tracks and road wheels
    c.rect(x + 2 * s, y + 28 * s, x + 172 * s, y + 56 * s, tracks, radius=13 * s)
    for i in range(7):
        cx = x + (22 + i * 22) * s
        c.ellipse(cx - 10 * s, y + 32 * s, cx + 10 * s, y + 52 * s, shade(tracks, 1.35))
        c.ellipse(cx - 4 * s, y + 38 * s, cx + 4 * s, y + 46 * s, shade(tracks, 0.8))
    # hull
    c.polygon([(x, y + 18 * s), (x + 12 * s, y), (x + 160 * s, y), (x + 178 * s, y + 16 * s),
               (x + 168 * s, y + 32 * s), (x + 6 * s, y + 32 * s)], body)
    c.rect(x + 14 * s, y + 4 * s, x + 158 * s, y + 8 * s, shade(body, 0.85))
    if inside is not None:
        # the turret is gone: the inside of the hull shows through its ring
        c.polygon([(x + 48 * s, y), (x + 58 * s, y - 10 * s), (x + 118 * s, y - 10 * s),
                   (x + 128 * s, y)], inside)
        c.rect(x + 58 * s, y - 8 * s, x + 118 * s, y + 14 * s, inside, radius=3 * s)
        c.rect(x + 66 * s, y + 2 * s, x + 82 * s, y + 12 * s, shade(inside, 0.8))
        c.rect(x + 92 * s, y - 2 * s, x + 110 * s, y + 10 * s, shade(inside, 0.85))
    else:
        # turret and gun; a wreck's gun hangs down
        c.polygon([(x + 46 * s, y), (x + 58 * s, y - 22 * s), (x + 118 * s, y - 22 * s),
                   (x + 130 * s, y)], shade(body, 0.95))
        angle = 0.18 if wrecked else 0.0
        gx, gy = x + 124 * s, y - 13 * s
        ex, ey = gx + 95 * s * math.cos(angle), gy + 95 * s * math.sin(angle)
        c.line([(gx, gy), (ex, ey)], shade(body, 0.9), 6 * s)
        c.line([(ex - 8 * s * math.cos(angle), ey - 8 * s * math.sin(angle)), (ex, ey)], shade(body, 0.75), 9 * s)
        c.ellipse(x + 78 * s, y - 30 * s, x + 96 * s, y - 20 * s, shade(body, 0.8))
    if dirt:
        spots(c, x, y, s, rng, dirt, shade(body, 0.45), 14)


def tracks_on_ground(c, x, y, s, color):
    """A track knocked off its tank: a loose chain of links lying on the ground."""
    links = []
    for i in range(18):
        t = i / 17
        links.append((x + t * 300 * s, y + math.sin(t * math.pi * 1.3) * 30 * s))
    for (ax, ay), (bx, by) in zip(links, links[1:]):
        c.line([(ax, ay), (bx, by)], shade(color, 0.7), 16 * s)
    for lx, ly in links:
        c.rect(lx - 8 * s, ly - 9 * s, lx + 8 * s, ly + 9 * s, color, radius=2 * s)
        c.rect(lx - 2 * s, ly - 9 * s, lx + 2 * s, ly + 9 * s, shade(color, 0.8))


def wagon(c, x, y, w, color, kind):
    wheels = shade(color, 0.4)
    if kind == "tank":
        c.rect(x + 6, y + 10, x + w - 6, y + 46, color, radius=18)
        c.rect(x + w / 2 - 8, y + 2, x + w / 2 + 8, y + 12, shade(color, 0.85))
    elif kind == "flat":
        c.rect(x, y + 34, x + w, y + 46, color)
        c.rect(x + 14, y + 16, x + w - 30, y + 34, shade(color, 0.8), radius=3)
    else:
        c.rect(x, y, x + w, y + 46, color, radius=3)
        for i in range(1, 5):
            c.rect(x + i * w / 5 - 1.5, y + 4, x + i * w / 5 + 1.5, y + 42, shade(color, 0.8))
    c.rect(x - 4, y + 46, x + w + 4, y + 50, shade(color, 0.6))
    for wx in (x + 14, x + 30, x + w - 30, x + w - 14):
        c.ellipse(wx - 8, y + 46, wx + 8, y + 62, wheels)


def train(c, x, y, color, engine_color=None):
    engine_color = engine_color or color
    c.rect(x, y - 6, x + 90, y + 46, engine_color, radius=4)
    c.rect(x + 60, y - 26, x + 90, y - 6, shade(engine_color, 0.8), radius=3)
    c.rect(x + 14, y - 22, x + 26, y - 6, shade(engine_color, 0.6))
    c.rect(x - 4, y + 46, x + 94, y + 50, shade(engine_color, 0.6))
    for wx in (x + 16, x + 45, x + 74):
        c.ellipse(wx - 10, y + 42, wx + 10, y + 62, shade(engine_color, 0.4))
    wx = x + 104
    for kind in ("box", "tank", "flat", "box"):
        wagon(c, wx, y, 100, color, kind)
        wx += 112


def rails(c, x0, x1, y):
    c.rect(x0, y + 62, x1, y + 66, (70, 60, 52))
    for sx in range(int(x0), int(x1), 14):
        c.rect(sx, y + 62, sx + 7, y + 70, (100, 84, 64))
    c.rect(x0, y + 60, x1, y + 62, (150, 150, 150))


def camo_tank(c, x, y, s, visibility):
    """A tank whose camouflage pattern shows with the given share over its own paint."""
    paint = (132, 138, 96)
    tank(c, x, y, s, paint, seed=7)
    rng = random.Random(11)
    pattern = [(60, 70, 40), (170, 150, 100), (35, 40, 30)]
    for _ in range(16):
        dy = rng.uniform(-14, 24)
        dx = rng.uniform(62, 116) if dy < 2 else rng.uniform(18, 160)  # on the turret or the hull
        px, py = x + dx * s, y + dy * s
        r = rng.uniform(6, 11) * s
        mixed = tuple(int(o + (p - o) * visibility) for o, p in zip(paint, rng.choice(pattern)))
        c.ellipse(px - r, py - r * 0.5, px + r, py + r * 0.5, mixed)


def draw_all(out):
    os.makedirs(out, exist_ok=True)

    # Destroyed tanks: a burnt wreck, then the same wreck in one bright colour.
    c = Canvas(500, 480)
    scene(c, 10, 10, 490, 220)
    tank(c, 110, 130, 1.3, BURNT, wrecked=True, dirt=14, seed=3)
    scene(c, 10, 262, 490, 470)
    tank(c, 110, 382, 1.3, DPT, wrecked=True, seed=3)
    c.frame()
    arrow(c, 250, 226, 30, vertical=True)
    c.save(os.path.join(out, "PNG_DPTMODE.png"))

    # The inside of a wreck: the same colour as outside, or a colour of its own.
    c = Canvas(600, 300)
    scene(c, 10, 10, 280, 290, horizon=0.5)
    tank(c, 36, 150, 1.1, DPT, wrecked=True, inside=DPT, seed=4)
    scene(c, 320, 10, 590, 290, horizon=0.5)
    tank(c, 346, 150, 1.1, DPT, wrecked=True, inside=DPT_INSIDE, seed=4)
    c.frame()
    arrow(c, 285, 150, 30)
    c.save(os.path.join(out, "PNG_DPTMODE_INSIDE.png"))

    # Shadows and dark spots baked into the texture, then taken away.
    c = Canvas(468, 500)
    scene(c, 10, 10, 458, 230)
    tank(c, 90, 140, 1.3, DPT, wrecked=True, dirt=26, seed=5)
    scene(c, 10, 272, 458, 490)
    tank(c, 90, 402, 1.3, DPT, wrecked=True, seed=5)
    c.frame()
    arrow(c, 234, 236, 30, vertical=True)
    c.save(os.path.join(out, "PNG_DPTMODE_REMOVESHADOW.png"))

    # Tracks knocked off a tank: hard to see on the ground, then in a bright colour.
    c = Canvas(422, 475)
    scene(c, 10, 10, 412, 222, horizon=0.3)
    tracks_on_ground(c, 60, 140, 1.0, (70, 66, 60))
    scene(c, 10, 264, 412, 465, horizon=0.3)
    tracks_on_ground(c, 60, 394, 1.0, CCT)
    c.frame()
    arrow(c, 211, 228, 30, vertical=True)
    c.save(os.path.join(out, "PNG_CCTMODE.png"))

    # Tanks standing on a map as scenery: like a player's tank, then clearly not one.
    c = Canvas(480, 437)
    scene(c, 10, 10, 470, 210)
    tank(c, 40, 120, 0.9, OLIVE, seed=8)
    tank(c, 260, 130, 0.8, OLIVE, seed=9)
    scene(c, 10, 250, 470, 427)
    tank(c, 40, 350, 0.9, OLIVE, seed=8)
    tank(c, 260, 360, 0.8, MEM, seed=9)
    c.frame()
    arrow(c, 240, 214, 30, vertical=True)
    c.save(os.path.join(out, "PNG_MEMMODE.png"))

    # Carriages and trains on a map.
    c = Canvas(600, 300)
    scene(c, 10, 10, 590, 140, horizon=0.35)
    rails(c, 10, 590, 60)
    train(c, 30, 60, (92, 70, 52), engine_color=(50, 50, 50))
    scene(c, 10, 160, 590, 290, horizon=0.35)
    rails(c, 10, 590, 210)
    train(c, 30, 210, CTM)
    c.frame()
    arrow(c, 300, 141, 18, vertical=True)
    c.save(os.path.join(out, "PNG_CTMMODE.png"))

    # The far view of a map (and its loading screen): small vehicles coloured there too.
    c = Canvas(500, 373)
    for i, (y0, y1) in enumerate(((10, 178), (195, 363))):
        split = scene(c, 10, y0, 490, y1, horizon=0.35)
        rng = random.Random(21)
        for hill in range(5):
            hx = 10 + hill * 110 + rng.uniform(-20, 20)
            c.ellipse(hx - 70, split - 25, hx + 90, split + 25, shade(GROUND, 0.85))
        for k in range(9):
            vx, vy = rng.uniform(40, 440), rng.uniform(split + 30, y1 - 20)
            size = 0.12 + (vy - split) / 900
            colour = (MEM if k % 3 else CTM) if i else OLIVE
            if k % 3:
                tank(c, vx, vy, size, colour, seed=k)
            else:
                c.rect(vx, vy, vx + 60 * size * 3, vy + 14 * size * 3, colour, radius=1)
    c.frame()
    arrow(c, 250, 176, 20, vertical=True)
    c.save(os.path.join(out, "PNG_SPACEBIN.png"))

    # Camouflage at falling visibility.
    c = Canvas(800, 226)
    for i, visibility in enumerate((1.0, 0.6, 0.3, 0.0)):
        x0 = 10 + i * 197
        scene(c, x0, 10, x0 + 187, 216, horizon=0.4)
        camo_tank(c, x0 + 18, 124, 0.74, visibility)
        c.text(x0 + 93, 176, "%d%%" % round(visibility * 100), 18, ARROW)
    c.frame()
    c.save(os.path.join(out, "PNG_CAMO.png"))


if __name__ == "__main__":
    draw_all(sys.argv[1] if len(sys.argv) > 1 else
             os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "gui", "pictures"))
