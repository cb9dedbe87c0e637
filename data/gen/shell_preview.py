#!/usr/bin/python3
"""Mock-ups of the shell's screens on a 240x320 screen, built from the generated entries the
way the screens place them: main menu, language and sound questions, a game menu, the
highscore table, the name keyboard, the key dialog, a help page and the gallery's buttons.

    /usr/bin/python3 data/gen/shell_preview.py --out /tmp/preview/shellart
"""

import argparse
import io
import os
import sys
import tempfile

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from gen import (  # noqa: E402
    help_texts, keyboard_frame, menu_art, preview, raster, texts)

W, H = 240, 320


def decode(data):
    return np.asarray(Image.open(io.BytesIO(data)).convert("RGB")).copy()


def atlas_pieces(entries):
    sheet = decode(entries[menu_art.GRAPHICS + menu_art.ATLAS + ".png"])
    pieces = {}
    for line in texts.read_lines(entries[menu_art.GRAPHICS + menu_art.ATLAS + ".txt"]):
        name, x, y, w, h = line.split(";")
        x, y, w, h = int(x), int(y), int(w), int(h)
        pieces[name] = sheet[y : y + h, x : x + w]
    return pieces


def shade(picture, level, start, stop):
    """Black (or white) at alpha |level| over columns start .. stop of every row."""
    out = picture.astype(float)
    a = abs(level) / 255.0
    colour = 255.0 if level > 0 else 0.0
    out[:, max(start, 0) : stop + 1] = out[:, max(start, 0) : stop + 1] * (1 - a) + colour * a
    return out.astype(np.uint8)


def centred(picture):
    screen = np.zeros((H, W, 3), np.uint8)
    preview._blit(screen, picture, W // 2 - picture.shape[1] // 2,
                  H // 2 - picture.shape[0] // 2, keyed=False)
    return screen


def rect(canvas, x, y, w, h, colour, fill=False):
    """drawRect covers w + 1 by h + 1 pixels, fillRect w by h."""
    if fill:
        canvas[max(y, 0) : y + h, max(x, 0) : x + w] = colour
        return
    canvas[y, x : x + w + 1] = colour
    canvas[y + h, x : x + w + 1] = colour
    canvas[y : y + h + 1, x] = colour
    canvas[y : y + h + 1, x + w] = colour


def splash_stand_in():
    rng = np.random.default_rng(7)
    sky = raster.vertical_gradient(H, W, (0x30, 0x40, 0x88), (0x60, 0x40, 0x70))
    for _ in range(120):
        x, y = rng.integers(0, W), rng.integers(0, H)
        sky[y, x] = 255 * rng.uniform(0.4, 1.0)
    return raster.to565(sky, dither=True)


class Mockups:
    def __init__(self, entries, lang):
        self.e, self.lang = entries, lang
        self.help_lines = {}  # entry -> the page's lines, when the helplines tool was given
        self.f = preview.load_fonts(entries)
        self.back = decode(entries[menu_art.GRAPHICS + menu_art.BACKDROP])
        self.pieces = atlas_pieces(entries)
        self.img = {n.split("/")[-1][:-4]: decode(entries[n]) for n in entries
                    if n.startswith("/graphics/") and n.endswith(".png")
                    and n.count("/") == 2}
        # The games' menus shade the game's splash picture between the margins (halved for
        # the list); a plain starry night stands in for the splash, which the games bring.
        self.splash = splash_stand_in()
        self.menu_back = centred(shade(self.splash, -161, 15, W - 15))

    def text(self, key):
        return self.lang.get(key, key)

    def main_menu(self, selected=1):
        s = self.back.copy()
        icon = self.pieces["tesk.png"]
        iw, ih = icon.shape[1], icon.shape[0]
        spacing = iw + (2 * iw) // 3
        cx = spacing // 2 - 5
        step = ((3 * H) // 4) // 5
        for i, entry in enumerate(menu_art.ENTRIES):
            cy = H - (3 * ih) // 4 - (4 - i) * step
            piece = self.pieces[entry + ("_s" if i == selected else "") + ".png"]
            preview._blit(s, piece, cx - iw // 2, cy - ih // 2)
        logo = self.pieces[menu_art.TAB_NAMES[menu_art.ENTRIES[selected]]]
        preview._blit(s, logo, W - logo.shape[1], H - logo.shape[0])
        return s

    def question(self, rows, highlighted, question_font=None):
        bw = 2 * (W // 3)
        start = (self.back.shape[1] - W) // 2 + (W // 3) // 2
        s = centred(shade(self.back, -160, start, self.back.shape[1] - start))
        rh = self.f["menu"].height + 4
        bx, by = (W - bw) // 2, (H - bw) // 2
        rect(s, bx + 1, by + rh * highlighted + 1, bw - 2, rh - 2, raster.VIOLET, fill=True)
        for i, label in enumerate(rows):
            font = self.f[question_font if (question_font and i == 0) else "menu"]
            preview._text(s, font, label, bx + bw // 2, by + i * rh + rh // 2, "cm")
        preview._text(s, self.f["menu"], "OK", 5, H - rh)
        return s

    def game_menu(self, selected=1):
        s = self.menu_back.copy()
        keys = ["start", "continue", "gallery", "highscores", "help", "soundfxnormal",
                "musiclow", "boundson", "cfg_keys", "exit"]
        top, step = 25, 18
        for i, key in enumerate(keys[:15]):
            row = 2 + top + 4 + i * step
            if i == selected:
                bar = self.img["selected"]
                c = row + self.f["menusel"].height // 2
                preview._blit(s, bar, W // 2 - bar.shape[1] // 2, c - bar.shape[0] // 2)
                preview._text(s, self.f["menusel"], self.text(key), W // 2, row, "ct")
            else:
                preview._text(s, self.f["menu"], self.text(key), W // 2, row, "ct")
        pause = self.img["pause"]
        preview._blit(s, pause, W - pause.shape[1], 0, keyed=False)
        return s

    def highscores(self):
        s = centred(shade(self.splash, -160, 30, W - 30))
        margin, top = 30, 25
        rows = [("aurelia", 1840), ("tomas", 1220), ("mi-ra_9", 610)] + \
            [(self.text("empty") + " ", 0)] * 5
        for i, (name, score) in enumerate(rows):
            y = 2 + top + 4 + i * 18
            preview._text(s, self.f["menu"], name, margin + 10, y)
            preview._text(s, self.f["menu"], str(score), W - margin - 10, y, "rt")
        return s

    def keyboard(self, typed="mira", column=2, row=1):
        s = self.menu_back.copy()
        top, middle, bottom = (decode(self.e[menu_art.GRAPHICS + n])
                               for n in keyboard_frame.NAMES)
        b = top.shape[0] + middle.shape[0] + bottom.shape[0]
        c = (H - b) // 2
        y = c
        for piece in (top, middle, bottom):
            preview._blit(s, piece, W // 2 - piece.shape[1] // 2, y)
            y += piece.shape[0]
        menu, sel, small = self.f["menu"], self.f["menusel"], self.f["small"]
        gx, gy = (W - 21 * 6) // 2, c + top.shape[0]
        ty = c + top.shape[0] + middle.shape[0] - menu.height - 3
        preview._text(s, small, self.text("entername"), W // 2,
                      c + top.shape[0] + middle.shape[0] - 2 * menu.height - 4, "cb")
        labels = list(keyboard_frame.LETTERS) + ["ok", "<-"]
        for k, label in enumerate(labels):
            cx, cy = gx + (k % 6) * 21, gy + (k // 6) * 19
            font = sel if k == column + row * 6 else menu
            font.draw(s, label, cx + (21 - menu.width(label)) // 2, cy + (19 - menu.height) // 2)
        rect(s, gx + 21 * column, gy + 19 * row, 21, 19, (0x55, 0x55, 0x55))
        menu.draw(s, typed, gx + 5, ty)
        x = gx + 5 + menu.width(typed)
        s[ty + menu.height, x + 1 : x + 10] = (0x55, 0x55, 0x55)
        preview._text(s, menu, "ok", 4, H - 4, "lb")
        preview._text(s, menu, "<-", W - 4, H - 4, "rb")
        return s

    def key_dialog(self, game="tessarine", names=("Left", "Right", "Space")):
        s = shade(self.splash, -160, 0, W)
        bx, by, bw, bh = 10, 10, W - 20, H - 20
        actions = self.text("ctrl_actions_" + game).split(";")
        rh = 11 + 3  # the dialog's system font, bold small
        lw, cw = bw // 2, (bw - bw // 2) // 2
        lh = len(actions) * rh
        grid = (0x96, 0xA3, 0xC8)
        rect(s, bx + lw + 1, by + 1, cw - 1, rh - 2, (0x99, 0x99, 0x99), fill=True)
        rect(s, bx, by, bw, min(lh, bh), grid)
        for x in (bx + lw, bx + lw + cw):
            s[by : by + lh, x] = grid
        for r in range(1, len(actions)):
            s[by + r * rh, bx : bx + bw] = grid
        for r, action in enumerate(actions):
            cy = by + r * rh + rh // 2
            preview._text(s, self.f["hud0"], action, bx + lw // 2, cy, "cm")
            for v in range(2):
                label = "?" if (r, v) == (0, 1) else names[r % len(names)]
                preview._text(s, self.f["small"], label, bx + lw + v * cw + cw // 2, cy, "cm")
        count = len(actions)
        for i, key in enumerate(("set_default", "ok", "cancel")):
            font = self.f["menusel" if i == 1 else "menu"]
            preview._text(s, font, self.text(key), bx + bw // 2,
                          by + rh * (count + 1 + i) + rh // 2, "cm")
        preview._text(s, self.f["hud0"], self.text("ok"), 0, H, "lb")
        preview._text(s, self.f["hud0"], self.text("cancel"), W, H, "rb")
        return s

    def help_page(self, game, short, first=0):
        s = self.menu_back.copy()
        small, hud0 = self.f["small"], self.f["hud0"]
        preview._text(s, self.f["menusel"], self.text("help"), W // 2, 3, "ct")
        lines = self.help_lines[help_texts.entry_name(game, short)]
        top, bottom = self.f["menusel"].height + 12, H - hud0.height
        lh = small.height + 3
        visible = (bottom - top) // lh
        first = min(first, max(0, len(lines) - visible))
        y = top
        for line in lines[first : first + visible]:
            if line:
                small.draw(s, line, 15 + 5, y)
            y += lh
        track = bottom - top
        count = len(lines)
        thumb = track if count <= visible else visible * track // count
        ty = top if count <= visible else top + (track - thumb) * first // (count - visible)
        x = W - 8
        rect(s, x, top, 6, track, (0xCC, 0xCC, 0xCC), fill=True)
        rect(s, x, top, 6, track, (0x44, 0x44, 0x44))
        rect(s, x, ty, 6, thumb, (0xFF, 0xFF, 0xFF), fill=True)
        rect(s, x, ty, 6, thumb + 1, (0, 0, 0))
        preview._text(s, hud0, self.text("quit"), 0, H, "lb")
        preview._text(s, hud0, self.text("down"), W, H, "rb")
        return s

    def gallery(self):
        s = self.back.copy()
        button = self.img["button"]
        bw = button.shape[1]
        hud1 = self.f["hud1"]
        preview._blit(s, button, W - bw, H - button.shape[0])
        preview._text(s, hud1, self.text("next"), bw // 2 + W - bw, H - 2, "cb")
        preview._blit(s, button, 0, H - button.shape[0])
        preview._text(s, hud1, self.text("quit"), bw - bw // 2, H - 2, "cb")
        return s

    def all(self):
        screens = {
            "main_menu": self.main_menu(),
            "language": self.question(["English", "Deutsch"], 0),
            "sound": self.question([self.text("enable_sound"), self.text("yes"),
                                    self.text("no")], 2, "hud0"),
            "game_menu": self.game_menu(),
            "highscores": self.highscores(),
            "keyboard": self.keyboard(),
            "key_dialog": self.key_dialog(),
            "gallery": self.gallery(),
        }
        if self.help_lines:
            screens.update({
                "help_tesk": self.help_page("tesk", self.lang_short),
                "help_mirf": self.help_page("mirf", self.lang_short, 40),
                "help_corv": self.help_page("corv", self.lang_short, 200),
            })
        return screens


def strip(screens):
    gap = np.full((H, 6, 3), 40, np.uint8)
    parts = []
    for pixels in screens:
        parts += [pixels, gap]
    return np.concatenate(parts[:-1], axis=1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default="/tmp/preview/shellart")
    parser.add_argument("--helplines", help="the helplines tool: draws the help pages")
    parser.add_argument("--data", help="the folder of the game.dat the help pages come from")
    args = parser.parse_args()
    import gamedata

    entries = {}
    for produce in gamedata.PRODUCERS:
        produce(entries)
    os.makedirs(args.out, exist_ok=True)
    help_lines = {}
    if args.helplines and args.data:
        names = [help_texts.entry_name(game, short)
                 for game in help_texts.GAMES for short in texts.languages()]
        with tempfile.TemporaryDirectory() as scratch:
            help_lines = help_texts.page_lines(args.helplines, args.data, names, scratch)
    for short in texts.languages():
        lang = texts.read_table(texts.source_path("res_%s.txt" % short))
        mock = Mockups(entries, lang)
        mock.lang_short = short
        mock.help_lines = help_lines
        screens = mock.all()
        for name, pixels in screens.items():
            preview.save(pixels, os.path.join(args.out, "%s_%s" % (name, short)), 2)
        names = list(screens)
        preview.save(strip([screens[n] for n in names[:6]]),
                     os.path.join(args.out, "sheet1_" + short), 2)
        preview.save(strip([screens[n] for n in names[6:]]),
                     os.path.join(args.out, "sheet2_" + short), 2)
    print("mock-ups written to", args.out)


if __name__ == "__main__":
    main()
