"""Graphics sets for the other screen sizes, made from the qvga set's drawings.

The gallery's pictures cover the whole screen: the drawing is resampled (area filter when it
shrinks, Lanczos when it grows, in float before the RGB565 dither) to the smallest size that
covers the screen and cut to the screen around its centre; the overlays follow the same scale
and cut, and the picture list gets their new places. Composed screens (splash, backdrop, game
over) are shown whole instead, over a blurred copy that fills the rest of the screen.

Atlas pieces are resampled one by one to the set's size (bricks and wall tiles to the set's
brick rules, everything else by the set's art scale), with the colour key kept out of the
filter: colour is weighted by coverage and a pixel is opaque where at least half of it was.
The sets at twice the size draw the games' sprites, the menu's icons and tabs, the menu
backdrop and the brick-breaker's two pictures anew at that size (see `drawn_large`); the smaller
sets draw the brick-breaker's monsters and life icon and the formation shooter's aliens, ship
and explosions anew at their size (see `drawn_small`); other pieces that grow by a whole factor
are scaled with an edge-preserving pixel-art filter rather than plain doubling. The name
keyboard's frame and the HUD plates that carry numbers keep their size, since they frame
letters of the shared fonts.
"""

import hashlib
import io
import math
import os
import pickle
import re

import numpy as np
from PIL import Image, ImageFilter

from gen import pictures, screens, sprite, texts
from gen.screens import drawn_sets

SOURCE = "/graphics/qvga"
KEY = (255, 0, 255)
DESIGN = (240, 320)
# Folders whose images keep their size in every set.
FIXED = ("/input/",)
ATLASES = ("/tesk/all", "/mirf/all", "/corv/all", "/menu/small_icons")
# The space-rock game's HUD plates: it writes the lives and the score on them in the shared
# fonts at fixed offsets, so they keep their size with the fonts.
TEXT_PLATES = ("lifePanel", "scorePanel")


def cover(gset):
    """Scale and cut (x, y) that make a design-sized picture cover the set's screen."""
    return cover_size(gset.width, gset.height)


def cover_size(width, height):
    """Scale and cut (x, y) that make a design-sized picture cover a width x height screen."""
    k = max(width / DESIGN[0], height / DESIGN[1])
    w, h = int(round(DESIGN[0] * k)), int(round(DESIGN[1] * k))
    return k, (w, h), ((w - width) // 2, (h - height) // 2)


# Composed screens drawn for every screen that shows the set (176x220 shows the 176x208 set):
# the picture covers the largest of those screens and its content fits the smallest, so each of
# them shows it whole, centred, with no edge left uncovered.
SPANNING = ("/mirf/splash.jpg",)


def span(gset):
    """(canvas, inner): the largest width and height of the screens naming the set, and the
    smallest."""
    shown = screens.screens_of(gset.name) or [(gset.width, gset.height)]
    return ((max(w for w, _ in shown), max(h for _, h in shown)),
            (min(w for w, _ in shown), min(h for _, h in shown)))


def _resample(arr, size):
    """Float (h, w[, c]) array to size (w, h): area filter down, Lanczos up."""
    w, h = size
    down = w <= arr.shape[1] and h <= arr.shape[0]
    flt = Image.BOX if down else Image.LANCZOS
    chans = arr[..., None] if arr.ndim == 2 else arr
    out = np.stack([np.asarray(Image.fromarray(np.ascontiguousarray(chans[..., c]), "F")
                               .resize((w, h), flt)) for c in range(chans.shape[2])], -1)
    return out[..., 0] if arr.ndim == 2 else out


def _decode(data):
    return np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))


def _picture(data, gset, seed):
    k, size, (cx, cy) = cover(gset)
    img = _decode(data).astype(np.float32) / 255.0
    if size != (img.shape[1], img.shape[0]):
        img = np.clip(_resample(img, size), 0.0, 1.0)
    img = img[cy : cy + gset.height, cx : cx + gset.width]
    return pictures.encode_jpeg(np.ascontiguousarray(img), seed)[0]


def _composition(data, gset, seed, src=None, canvas=None, inner=None):
    """A composed screen (splash, menu backdrop, game over): shown whole, scaled to fit the
    screen, over a blurred and darkened copy that covers it, with feathered seams. Cutting
    such a screen to another shape would cut off its title, paddle or ship. src, when given,
    is the screen drawn larger (float RGB 0..1), used in place of the stored picture. canvas
    (w, h), when given, is the size of the picture made, and inner the part of it that the
    content fits (both the set's screen otherwise)."""
    width, height = canvas or (gset.width, gset.height)
    inner_w, inner_h = inner or (width, height)
    fit = min(inner_w / DESIGN[0], inner_h / DESIGN[1])
    k, size, (cx, cy) = cover_size(width, height)
    if src is None:
        src = _decode(data).astype(np.float32) / 255.0
    if abs(fit - k) < 1e-6:
        img = src
        if size != (img.shape[1], img.shape[0]):
            img = np.clip(_resample(img, size), 0.0, 1.0)
        img = img[cy : cy + height, cx : cx + width]
        return pictures.encode_jpeg(np.ascontiguousarray(img), seed)[0]
    back = np.clip(_resample(src, size), 0.0, 1.0)[cy : cy + height, cx : cx + width]
    radius = 10.0 * k
    back8 = Image.fromarray(np.ascontiguousarray(np.round(back * 255.0).astype(np.uint8)))
    back = np.asarray(back8.filter(ImageFilter.GaussianBlur(radius)), np.float32) / 255.0
    back = back * 0.55
    fw, fh = int(round(DESIGN[0] * fit)), int(round(DESIGN[1] * fit))
    front = np.clip(_resample(src, (fw, fh)), 0.0, 1.0)
    fx, fy = (width - fw) // 2, (height - fh) // 2
    feather = max(2.0, 6.0 * fit)
    ys, xs = np.mgrid[0:fh, 0:fw].astype(np.float32) + 0.5
    edge = np.full((fh, fw), np.inf, np.float32)
    # Seams only where the content stops short of the smallest screen's edge.
    if fx > (width - inner_w) // 2:
        edge = np.minimum(edge, np.minimum(xs, fw - xs))
    if fy > (height - inner_h) // 2:
        edge = np.minimum(edge, np.minimum(ys, fh - ys))
    a = np.clip(edge / feather, 0.0, 1.0)[..., None]
    out = back.copy()
    region = out[fy : fy + fh, fx : fx + fw]
    out[fy : fy + fh, fx : fx + fw] = region * (1.0 - a) + front * a
    return pictures.encode_jpeg(np.ascontiguousarray(np.clip(out, 0.0, 1.0)), seed)[0]


def _keyed(data):
    rgb = _decode(data)
    opaque = ~((rgb[..., 0] == 255) & (rgb[..., 1] == 0) & (rgb[..., 2] == 255))
    return rgb, opaque


def _epx(rgb, opaque):
    """Scale2x: each pixel becomes four, a corner taking a neighbour's colour where two
    neighbours meeting at it agree and the other two differ, so diagonals stay smooth."""
    h, w = opaque.shape
    key = np.where(opaque[..., None], rgb, np.array(KEY, np.uint8)).astype(np.int32)
    code = key[..., 0] << 16 | key[..., 1] << 8 | key[..., 2]
    p = np.pad(code, 1, mode="edge")
    c, a, b, d, e = p[1:-1, 1:-1], p[:-2, 1:-1], p[1:-1, 2:], p[1:-1, :-2], p[2:, 1:-1]
    e0 = np.where((d == a) & (d != e) & (a != b), a, c)
    e1 = np.where((a == b) & (a != d) & (b != e), b, c)
    e2 = np.where((d == e) & (d != a) & (e != b), d, c)
    e3 = np.where((e == b) & (e != d) & (b != a), b, c)
    out = np.empty((2 * h, 2 * w), np.int32)
    out[0::2, 0::2], out[0::2, 1::2], out[1::2, 0::2], out[1::2, 1::2] = e0, e1, e2, e3
    rgb2 = np.stack([(out >> 16) & 255, (out >> 8) & 255, out & 255], -1).astype(np.uint8)
    return rgb2, out != (255 << 16 | 255)


def doubled(p):
    """A sprite at twice its size: its shapes as drawn at that size, and the pixels that were
    finished by hand (outlines, highlights, pixel-art symbols) scaled by the pixel-art filter."""
    rgb2, op2 = _epx(p.rgb, p.opaque)
    large = getattr(p, "large", None)
    if large is None or large.size != (2 * p.size[0], 2 * p.size[1]):
        return sprite.Pix(rgb2, op2)
    rgb1, op1 = p.drawn
    touched = np.any(p.rgb != rgb1, axis=-1) | (p.opaque != op1)
    touched = touched.repeat(2, 0).repeat(2, 1)
    return sprite.Pix(np.where(touched[..., None], rgb2, large.rgb),
                      np.where(touched, op2, large.opaque))


def drawn_large():
    """{atlas: {piece: Pix at twice the size}} for the three games' atlases and the menu's."""
    large = games_large()
    large["/menu/small_icons"] = menu_large()
    large[BACKDROP] = backdrop_large()
    large.update(tesk_pictures_large())
    return large


BACKDROP = "/menu/back.jpg"


def tesk_pictures_large():
    """The brick-breaker's splash and game-over picture drawn at twice the size, by their
    names in the set, float RGB 0..1."""
    from gen import tessarine_pictures

    return {"/tesk/splash.jpg": tessarine_pictures.splash_large(),
            "/tesk/gameover.jpg": tessarine_pictures.gameover_large()}


def backdrop_large():
    """The main menu's backdrop drawn at twice the size, float RGB 0..1."""
    from gen import menu_art

    return (menu_art.backdrop(large=True) / 255.0).astype(np.float32)


def games_large():
    """{atlas: {piece: Pix at twice the size}} for the three games' atlases, drawn anew: every
    sprite is redrawn with the drawing kits switched to keep their shapes at twice the size."""
    from gen import corvantine_art, mirrowfen_art, space_sprites, tessarine_art

    saved = sprite.HI, space_sprites.HI
    sprite.HI = space_sprites.HI = 2
    caches = [m._cache for m in (tessarine_art, mirrowfen_art, corvantine_art)]
    kept = [dict(c) for c in caches]
    try:
        for c in caches:
            c.clear()
        built = {"/tesk/all": tessarine_art.build()[0], "/mirf/all": mirrowfen_art.build(),
                 "/corv/all": corvantine_art.build()[0]}
        return {atlas: {n: doubled(p) for n, p in pieces.items()}
                for atlas, pieces in built.items()}
    finally:
        sprite.HI, space_sprites.HI = saved
        for c, k in zip(caches, kept):
            c.clear()
            c.update(k)


def menu_large():
    """The main menu's icons and title tabs drawn at twice the size."""
    from gen import menu_art

    saved = menu_art.S, menu_art.OUT
    menu_art.S, menu_art.OUT = 2 * saved[0], 2
    try:
        drawn = {}
        for entry in menu_art.ENTRIES:
            for selected in (False, True):
                drawn[entry + ("_s" if selected else "") + ".png"] = menu_art.icon(entry,
                                                                                   selected)
            drawn[menu_art.TAB_NAMES[entry]] = menu_art.title_tab(entry)
    finally:
        menu_art.S, menu_art.OUT = saved
    pieces = {}
    for name, rgb in drawn.items():
        opaque = ~np.all(rgb == np.array(KEY, np.uint8), axis=-1)
        pieces[name] = sprite.Pix(rgb, opaque)
    return pieces


def drawn_small(entries, gset):
    """{atlas: {piece: Pix at the set's size}} for a set smaller than the qvga set: the sprites
    that scaling down would blur (the brick-breaker's monsters and life icon) and the pieces of
    the formation shooter whose drawings take a size."""
    from gen import corvantine_art, tessarine_art

    atlas = "/corv/all"
    wanted = {name: piece_size(atlas, name, w, h, gset)
              for name, _, _, w, h in _atlas_lines(entries[SOURCE + atlas + ".txt"])}
    return {"/tesk/all": tessarine_art.small_pieces(gset.art),
            atlas: corvantine_art.drawn_at(wanted)}


def scale_piece(rgb, opaque, size):
    """An atlas piece at size (w, h) as a sprite.Pix."""
    h, w = opaque.shape
    tw, th = size
    if (tw, th) == (w, h):
        return sprite.Pix(rgb, opaque)
    if tw % w == 0 and th % h == 0 and tw // w == th // h and (tw // w) in (2, 4):
        while opaque.shape[1] < tw:
            rgb, opaque = _epx(rgb, opaque)
        return sprite.Pix(rgb, opaque)
    a = opaque.astype(np.float32)
    pre = rgb.astype(np.float32) / 255.0 * a[..., None]
    a2 = np.clip(_resample(a, size), 0.0, 1.0)
    col = np.clip(_resample(pre, size), 0.0, None) / np.maximum(a2, 1e-6)[..., None]
    out = np.clip(np.round(col * 255.0), 0, 255).astype(np.uint8)
    keep = a2 >= 0.5
    if opaque.any() and not keep.any():
        # A spark too thin to keep half a pixel still shows where it was strongest.
        keep = a2 >= a2.max()
    return sprite.Pix(out, keep)


def piece_size(atlas, name, w, h, gset):
    """The size of a piece in the set: the brick rules for the brick-breaker's bricks, walls
    and border, the art scale for everything else."""
    if atlas == "/tesk/all":
        bw, bh = gset.brick
        if (w, h) == (19, 9):
            return bw, bh
        if name.startswith("b9_p"):  # facets of the crystal brick
            return max(1, int(round(w * bw / 19.0))), max(1, int(round(h * bh / 9.0)))
        if name == "t4_L.png":
            return gset.wall, gset.top
        if re.fullmatch(r"t[123]_L\.png", name):
            return gset.wall, max(1, int(round(h * gset.art)))
    if atlas == "/mirf/all" and name in TEXT_PLATES:
        return w, h
    s = gset.art
    return max(1, int(round(w * s))), max(1, int(round(h * s)))


def _atlas_lines(data):
    for line in texts.read_lines(data):
        name, x, y, w, h = line.split(";")
        yield name, int(x), int(y), int(w), int(h)


def scale_atlas(entries, atlas, gset, large=None):
    """An atlas for the set; pieces found in large at their size in the set are taken as
    they are."""
    rgb, opaque = _keyed(entries[SOURCE + atlas + ".png"])
    pieces, order = {}, []
    large = large or {}
    for name, x, y, w, h in _atlas_lines(entries[SOURCE + atlas + ".txt"]):
        size = piece_size(atlas, name, w, h, gset)
        if name in large and large[name].size == size:
            pieces[name] = large[name]
        else:
            pieces[name] = scale_piece(rgb[y : y + h, x : x + w],
                                       opaque[y : y + h, x : x + w], size)
        order.append(name)
    width = max(256, max(p.size[0] for p in pieces.values()))
    width = 1 << int(math.ceil(math.log2(width)))
    sheet, places = sprite.pack(pieces, width=width)
    text = "".join("%s;%d;%d;%d;%d\r\n" % ((n,) + places[n]) for n in order)
    return sprite.png_bytes(sheet), text.encode("ascii")


def scale_gallery(entries, gset):
    """The pictures' list, backgrounds and overlays at the set's size."""
    k, _, (cx, cy) = cover(gset)
    out = {}
    lines = []
    for line in texts.read_lines(entries[SOURCE + "/img/all.txt"]):
        if ";" not in line:
            lines.append(line)
            continue
        head, payload = line[:4], line[4:]
        name, x, y = payload.split(";")
        rgb, opaque = _keyed(entries[SOURCE + "/img/dress/%s.png" % name])
        h, w = opaque.shape
        x0, y0 = int(round(int(x) * k)), int(round(int(y) * k))
        x1, y1 = int(round((int(x) + w) * k)), int(round((int(y) + h) * k))
        p = scale_piece(rgb, opaque, (x1 - x0, y1 - y0))
        # Cut to the screen; an overlay wholly outside it is kept as one keyed pixel.
        sx0, sy0 = max(0, cx - x0), max(0, cy - y0)
        sx1 = min(p.size[0], cx + gset.width - x0)
        sy1 = min(p.size[1], cy + gset.height - y0)
        if sx1 <= sx0 or sy1 <= sy0:
            sx0, sy0, sx1, sy1 = 0, 0, 1, 1
        piece = sprite.Pix(p.rgb[sy0:sy1, sx0:sx1], p.opaque[sy0:sy1, sx0:sx1])
        rgb8 = pictures.guard_key(piece.final())
        rgb8[~piece.opaque] = KEY
        out["/img/dress/%s.png" % name] = pictures.encode_png(rgb8)
        lines.append("%s%s;%d;%d" % (head, name, x0 + sx0 - cx, y0 + sy0 - cy))
    out["/img/all.txt"] = "".join(line + "\r\n" for line in lines).encode("ascii")
    return out


def make_set(entries, gset, large=None):
    """Every entry of the qvga set, made for gset; returns {name: bytes} under the set. The
    sets at twice the size take large (of `drawn_large`), drawn here when not given."""
    made = {}
    if large is None:
        large = drawn_large() if gset.art == 2.0 else {}
    if gset.art < 1.0:
        large = {**large, **drawn_small(entries, gset)}
    for atlas in ATLASES:
        png, text = scale_atlas(entries, atlas, gset, large.get(atlas))
        made[atlas + ".png"], made[atlas + ".txt"] = png, text
    made.update(scale_gallery(entries, gset))
    for name, data in entries.items():
        if not name.startswith(SOURCE + "/"):
            continue
        rest = name[len(SOURCE):]
        if rest in made:
            continue
        if any(rest.startswith(f) for f in FIXED):
            made[rest] = data
        elif rest.startswith("/img/") and rest.endswith(".jpg"):
            made[rest] = _picture(data, gset, pictures._seed(gset.name, rest))
        elif rest.endswith(".jpg"):
            canvas, inner = span(gset) if rest in SPANNING else (None, None)
            made[rest] = _composition(data, gset, pictures._seed(gset.name, rest),
                                      large.get(rest), canvas, inner)
        else:
            raise ValueError("no rule for %s in the %s set" % (rest, gset.name))
    return {"/graphics/%s%s" % (gset.name, rest): data for rest, data in made.items()}


def _make(entries, gset, large):
    return make_set(entries, gset, large)


# A folder that keeps each set made, under a key of everything it was made from (the qvga
# entries and the code that makes sets), so that a change elsewhere does not make them again.
CACHE_DIR = None


def _key(source, gset):
    """Everything a set is made from: the qvga entries, every drawing module (sets redraw
    sprites with them) and the libraries that encode and filter."""
    import PIL

    digest = hashlib.sha256(repr((tuple(gset), PIL.__version__, np.__version__)).encode())
    here = os.path.dirname(os.path.abspath(__file__))
    for name in sorted(os.listdir(here)):
        if name.endswith(".py"):
            with open(os.path.join(here, name), "rb") as handle:
                digest.update(name.encode("ascii") + b"\0" + handle.read())
    for name in sorted(source):
        digest.update(name.encode("ascii") + b"\0" + source[name])
    return digest.hexdigest()[:24]


_made = {}


def _cached(gset, key):
    if (gset.name, key) in _made:
        return _made[(gset.name, key)]
    if CACHE_DIR is None:
        return None
    path = os.path.join(CACHE_DIR, "%s-%s.pickle" % (gset.name, key))
    try:
        with open(path, "rb") as handle:
            return pickle.load(handle)
    except (OSError, EOFError, pickle.UnpicklingError):
        return None


def _keep(gset, key, made):
    _made[(gset.name, key)] = made
    if CACHE_DIR is None:
        return
    os.makedirs(CACHE_DIR, exist_ok=True)
    for old in os.listdir(CACHE_DIR):
        if old.startswith(gset.name + "-"):
            os.remove(os.path.join(CACHE_DIR, old))
    path = os.path.join(CACHE_DIR, "%s-%s.pickle" % (gset.name, key))
    with open(path + ".tmp", "wb") as handle:
        pickle.dump(made, handle, protocol=pickle.HIGHEST_PROTOCOL)
    os.replace(path + ".tmp", path)


def produce(entries, workers=None):
    """Adds every other size's set, made from the qvga entries already present."""
    source = {k: v for k, v in entries.items() if k.startswith(SOURCE + "/")}
    results, missing = [], []
    for gset in drawn_sets():
        key = _key(source, gset)
        made = _cached(gset, key)
        if made is None:
            missing.append((gset, key))
        else:
            results.append(made)
    if len(missing) <= 1 or workers == 1:
        fresh = [make_set(source, gset) for gset, _ in missing]
    else:
        import multiprocessing

        # The large drawings are made once, beside the other sets, and then shared by the
        # sets at twice the size.
        doubles = [g for g, _ in missing if g.art == 2.0]
        workers = workers or min(6, os.cpu_count() or 1)
        with multiprocessing.get_context("fork").Pool(workers) as pool:
            if doubles:
                games = pool.apply_async(games_large)
                menu = pool.apply_async(menu_large)
                back = pool.apply_async(backdrop_large)
                tesk = pool.apply_async(tesk_pictures_large)
            jobs = {g.name: pool.apply_async(_make, (source, g, {}))
                    for g, _ in missing if g.art != 2.0}
            if doubles:
                large = games.get()
                large["/menu/small_icons"] = menu.get()
                large[BACKDROP] = back.get()
                large.update(tesk.get())
                for g in doubles:
                    jobs[g.name] = pool.apply_async(_make, (source, g, large))
            fresh = [jobs[g.name].get() for g, _ in missing]
    for (gset, key), made in zip(missing, fresh):
        _keep(gset, key, made)
    for made in results + fresh:
        entries.update(made)
