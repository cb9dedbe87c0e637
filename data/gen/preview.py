#!/usr/bin/python3
"""Renders what the generated shell data looks like in the game: a font sheet drawn from the
strips and descriptors as the game reads them, and a contact sheet of the shell images.

    /usr/bin/python3 data/gen/preview.py --out /tmp/preview/shell
"""

import argparse
import io
import os
import struct
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from gen import fonts, raster, texts  # noqa: E402


def read_utf(data, pos):
    (n,) = struct.unpack_from(">H", data, pos)
    raw = data[pos + 2 : pos + 2 + n]
    if len(raw) != n:
        raise EOFError("truncated string")
    units, i = [], 0
    while i < n:
        b = raw[i]
        if b < 0x80:
            units.append(b)
            i += 1
        elif b & 0xE0 == 0xC0:
            units.append(((b & 0x1F) << 6) | (raw[i + 1] & 0x3F))
            i += 2
        else:
            units.append(((b & 0x0F) << 12) | ((raw[i + 1] & 0x3F) << 6) | (raw[i + 2] & 0x3F))
            i += 3
    text = b"".join(struct.pack(">H", u) for u in units).decode("utf-16-be", "surrogatepass")
    return text, pos + 2 + n


def parse_descriptor(data):
    """Glyph string and advances of one page, read as the game reads them."""
    (count,) = struct.unpack_from(">b", data, 0)
    pos, glyphs, advances = 1, "", []
    for _ in range(max(count, 0)):
        ch, pos = read_utf(data, pos)
        (adv,) = struct.unpack_from(">b", data, pos)
        pos += 1
        glyphs += ch
        advances.append(adv)
    return glyphs, advances


def decode_png(data):
    return np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))


class LoadedFont:
    """A font as the game holds it: pages of strip, glyph string and offsets."""

    def __init__(self, entries, name, upper, spacing):
        self.pages, self.upper, self.spacing = [], upper, spacing
        for n in range(fonts.MAX_PAGES):
            base = "%s%s/font_%d" % (fonts.FOLDER, name, n)
            if base not in entries or base + ".png" not in entries:
                continue
            glyphs, advances = parse_descriptor(entries[base])
            glyphs = self.prepare(glyphs)
            offsets = np.concatenate([[0], np.cumsum(advances)])
            self.pages.append((decode_png(entries[base + ".png"]), glyphs, advances, offsets))
        self.height = self.pages[0][0].shape[0]

    def _find(self, ch):
        for strip, glyphs, advances, offsets in self.pages:
            j = glyphs.find(ch)
            if j >= 0:
                return strip, advances[j], offsets[j]
        return None

    def prepare(self, text):
        # Character-wise upper-casing as the C library does it (the sharp s stays).
        if not self.upper:
            return text
        return "".join(c.upper() if len(c.upper()) == 1 else c for c in text)

    def width(self, text):
        w = 0
        for ch in self.prepare(text):
            if ch == " ":
                w += self.pages[0][2][0] + self.spacing
            else:
                found = self._find(ch)
                if found:
                    w += found[1] + self.spacing
        return w

    def missing(self, text):
        return sorted({c for c in self.prepare(text) if c != " " and not self._find(c)})

    def draw(self, canvas, text, x, y):
        for ch in self.prepare(text):
            if ch == " ":
                x += self.pages[0][2][0] + self.spacing
                continue
            found = self._find(ch)
            if not found:
                continue
            strip, adv, off = found
            cell = strip[:, off : off + adv]
            h = min(cell.shape[0], canvas.shape[0] - y)
            w = min(adv, canvas.shape[1] - x)
            if h > 0 and w > 0:
                region = canvas[y : y + h, x : x + w]
                src = cell[:h, :w]
                keep = np.all(src == raster.KEY, axis=-1)
                region[~keep] = src[~keep]
            x += adv + self.spacing


def load_fonts(entries):
    return {style.name: LoadedFont(entries, style.name, style.upper, 1 if style.name == "small" else 0)
            for style in fonts.FONTS}


def backdrop(h, w):
    """Dark, white, violet highlight and a bright picture-like band, to test legibility."""
    out = np.zeros((h, w, 3), dtype=np.uint8)
    q = w // 4
    night = raster.vertical_gradient(h, q, raster.NIGHT_DARK, raster.NIGHT_LIGHT)
    out[:, :q] = raster.to565(night, True)
    out[:, q : 2 * q] = 255
    out[:, 2 * q : 3 * q] = raster.VIOLET
    x = np.linspace(0, 1, w - 3 * q)
    band = np.stack([255 * x, 180 + 60 * x, 120 + 100 * (1 - x)], axis=-1)
    out[:, 3 * q :] = raster.to565(np.repeat(band[None], h, axis=0), True)
    return out


def font_sheet(entries, lang):
    loaded = load_fonts(entries)
    samples = {
        "menu": [lang.get("start", "Start"), lang.get("soundfxnormal", ""), "Ä Ö Ü ß -_<>?!"],
        "menusel": [lang.get("highscores", ""), lang.get("musichigh", "")],
        "hud0": [lang.get("enable_sound", ""), lang.get("quit", "") + "  X 3"],
        "hud1": ["**" + lang.get("level", "") + " 12**", lang.get("gameover", "")],
        "num0": ["0123456789 -42"],
        "num1": ["0123456789 1500"],
        "small": ["The quick brown fox jumps over", "the lazy dog. 0123456789 ÄÖÜäöüß",
                  "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"],
    }
    width = 960
    rows = []
    for style in fonts.FONTS:
        font = loaded[style.name]
        lines = samples[style.name] + ["".join(g for _, g, _, _ in font.pages)]
        h = (font.height + 3) * len(lines) + 4
        canvas = backdrop(h, width)
        y = 2
        for line in lines:
            for col in range(4):
                # Each backdrop column is its own view, so long lines clip at its edge.
                font.draw(canvas[:, col * width // 4 : (col + 1) * width // 4 - 2], line, 4, y)
            y += font.height + 3
        rows.append(canvas)
    return np.concatenate(rows, axis=0)


def contact_sheet(entries, names):
    tiles = []
    for name in names:
        pixels = decode_png(entries[name])
        h, w = pixels.shape[:2]
        tile = np.full((h + 8, max(w + 8, 60), 3), 0, np.uint8)
        grey = raster.vertical_gradient(h + 8, tile.shape[1], (0x30, 0x30, 0x3a),
                                        (0x60, 0x66, 0x70))
        tile[:] = raster.to565(grey)
        check = ((np.indices((h, w)).sum(axis=0) // 4) % 2).astype(bool)
        bg = np.where(check[..., None], 200, 150).astype(np.uint8).repeat(3, axis=-1)
        key = np.all(pixels == raster.KEY, axis=-1)
        view = np.where(key[..., None], bg, pixels)
        tile[4 : 4 + h, 4 : 4 + w] = view
        tiles.append(tile)
    height = max(t.shape[0] for t in tiles)
    row = [np.pad(t, ((0, height - t.shape[0]), (0, 6), (0, 0))) for t in tiles]
    return np.concatenate(row, axis=1)


def _blit(canvas, pixels, x, y, keyed=True):
    """Draws an image with its top-left corner at (x, y), clipped, skipping key pixels."""
    h, w = pixels.shape[:2]
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, canvas.shape[1]), min(y + h, canvas.shape[0])
    if x0 >= x1 or y0 >= y1:
        return
    src = pixels[y0 - y : y1 - y, x0 - x : x1 - x]
    dst = canvas[y0:y1, x0:x1]
    if keyed:
        keep = np.all(src == raster.KEY, axis=-1)
        dst[~keep] = src[~keep]
    else:
        dst[:] = src


def _text(canvas, font, text, x, y, anchor="lt"):
    """Anchored text: first letter l/c/r horizontally, second t/m/b vertically."""
    w = font.width(text)
    x -= {"l": 0, "c": w >> 1, "r": w}[anchor[0]]
    y -= {"t": 0, "m": font.height >> 1, "b": font.height}[anchor[1]]
    font.draw(canvas, text, x, y)


def screens(entries, lang):
    """Mock-ups of the start-up, a game menu, the language menu, the gallery and a help page,
    placed the way the shell places these images and fonts on a 240x320 screen."""
    W, H = 240, 320
    f = load_fonts(entries)
    img = {n.split("/")[-1][:-4]: decode_png(entries[n]) for n in entries
           if n.startswith("/graphics/") and n.endswith(".png") and not n.startswith(fonts.FOLDER)}
    night = raster.to565(raster.vertical_gradient(H, W, raster.NIGHT_DARK, raster.NIGHT_LIGHT),
                         True)
    out = []
    # Start-up: white screen, the logo, the progress bar at 60 of 100.
    s = np.full((H, W, 3), 255, np.uint8)
    logo = img["logo"]
    _blit(s, logo, W // 2 - logo.shape[1] // 2, (H - logo.shape[0]) // 2)
    y, x = H - (H >> 3), (W - 108) // 2
    s[y : y + 10, x : x + 108] = 0
    s[y + 1 : y + 9, x + 1 : x + 107] = 255
    s[y + 2 : y + 8, x + 2 : x + 2 + 60 * 104 // 100] = (255, 0, 0)
    out.append(s)
    # Game menu over a darkened picture: items, the selected bar, the scroll arrows.
    s = night.copy()
    s[:, 15 : W - 15] = (s[:, 15 : W - 15] * 0.45).astype(np.uint8)
    keys = ["start", "continue", "gallery", "highscores", "help", "soundfxnormal", "musiclow",
            "cfg_keys", "exit"]
    top, height = 25, H - 40
    up = img["arrowUp"]
    _blit(s, up, W // 2 - up.shape[1] // 2, top - 2 - up.shape[0])
    _blit(s, img["arrowDown"], W // 2 - img["arrowDown"].shape[1] // 2, top + height)
    for i, key in enumerate(keys):
        row = 2 + top + 4 + i * 18
        if i == 1:
            bar = img["selected"]
            centre = row + f["menusel"].height // 2
            _blit(s, bar, W // 2 - bar.shape[1] // 2, centre - bar.shape[0] // 2)
            _text(s, f["menusel"], lang.get(key, key), W // 2, row, "ct")
        else:
            _text(s, f["menu"], lang.get(key, key), W // 2, row, "ct")
    _blit(s, img["pause"], W - img["pause"].shape[1], H - img["pause"].shape[0], keyed=False)
    out.append(s)
    # Language menu: box two thirds wide, the highlight the screen draws itself.
    s = night.copy()
    s[:, 40:200] = (s[:, 40:200] * 0.4).astype(np.uint8)
    names = ["English", "Deutsch"]
    bw, rh = 2 * (W // 3), f["menu"].height + 4
    bx, by = (W - bw) // 2, (H - bw) // 2
    s[by + 1 : by + rh - 1, bx + 1 : bx + bw - 1] = raster.VIOLET
    for i, name in enumerate(names):
        _text(s, f["menu"], name, bx + bw // 2, by + i * rh + rh // 2 - f["menu"].height // 2, "ct")
    _text(s, f["hud0"], lang.get("enable_sound", ""), W // 2, by + 4 * rh, "ct")
    _text(s, f["menu"], "OK", 5, H - rh)
    out.append(s)
    # Gallery: a picture with both buttons out and their labels.
    s = night.copy()
    _blit(s, logo, (W - logo.shape[1]) // 2, 30)
    b = img["button"]
    bw, bh = b.shape[1], b.shape[0]
    _blit(s, b, W - bw, H - bh)
    _text(s, f["hud1"], lang.get("next", ""), bw // 2 + W - bw, H - 2, "cb")
    _blit(s, b, 0, H - bh)
    _text(s, f["hud1"], lang.get("quit", ""), bw - bw // 2, H - 2, "cb")
    out.append(s)
    # Help page: title, small print, scroll bar, soft keys; the in-game HUD numbers.
    s = night.copy()
    _text(s, f["menusel"], lang.get("help", ""), W // 2, 3, "ct")
    lines = ["Steer the paddle with left and right;", "fire launches the ball. Catch the",
             "capsules: green and blue ones help,", "red and orange ones hinder.", "",
             "Clear every brick to open the next", "round and a new picture in the",
             "gallery. ÄÖÜ äöü ß 0123456789"]
    for i, line in enumerate(lines):
        _text(s, f["small"], line, 20, f["menusel"].height + 12 + i * (f["small"].height + 3))
    _text(s, f["hud0"], lang.get("quit", ""), 0, H, "lb")
    _text(s, f["hud0"], lang.get("down", ""), W, H, "rb")
    _text(s, f["num0"], "12450", W - 4, 230, "rt")
    _text(s, f["hud0"], "x", 8, 230)
    _text(s, f["num0"], "3", 8 + f["hud0"].width("x"), 230)
    _text(s, f["num1"], "3150", W - 4, 250, "rt")
    _text(s, f["hud1"], "**" + lang.get("level", "") + " 7**", W // 2, 270, "ct")
    out.append(s)
    gap = np.full((H, 6, 3), 40, np.uint8)
    return np.concatenate(sum(([o, gap] for o in out), [])[:-1], axis=1)


def save(pixels, path, zoom):
    image = Image.fromarray(pixels)
    image.save(path + ".png")
    zoomed = image.resize((image.width * zoom, image.height * zoom), Image.NEAREST)
    zoomed.save(path + "_x%d.png" % zoom)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default="/tmp/preview/shell")
    parser.add_argument("--lang", action="append", help="short name (default: every language)")
    args = parser.parse_args()
    sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    import gamedata

    entries = {}
    for produce in gamedata.PRODUCERS:
        produce(entries)
    os.makedirs(args.out, exist_ok=True)
    for short in args.lang or texts.languages():
        lang = texts.read_table(texts.source_path("res_%s.txt" % short))
        save(font_sheet(entries, lang), os.path.join(args.out, "fonts_" + short), 3)
        save(screens(entries, lang), os.path.join(args.out, "screens_" + short), 2)
    images = sorted(n for n in entries if n.endswith(".png") and not n.startswith(fonts.FOLDER))
    if images:
        save(contact_sheet(entries, images), os.path.join(args.out, "images"), 2)
    print("preview written to", args.out)


if __name__ == "__main__":
    main()
