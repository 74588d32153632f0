#!/usr/bin/env python3
"""Draws the two pictures of the GTK front ends and writes them as XPM sources.

    window_icon.xpm   256 x 256, 211 colours (one of them transparent)
    side_picture.xpm  158 x 286, 256 colours

and the same two drawn at double resolution for screens at scale 2 (the GTK 3
front end), from the same shapes, not enlarged:

    window_icon_2x.xpm   512 x 512
    side_picture_2x.xpm  316 x 572

Shapes are signed-distance functions with one-pixel anti-aliased edges; the
result is reduced to exactly the wanted number of colours by median cut.
Run from anywhere: python3 tools/pictures/make_pictures.py [output-dir
[output-dir-2x]] (default: src/gtk/pictures and src/gtk3/pictures of this
script's repository).
"""
import math
import os
import sys

XPM_CHARS = ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
             ".#+@$%&*=-;:>,<!~^/()_[]{}|'`?")


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def hexrgb(s):
    return tuple(int(s[i:i + 2], 16) / 255.0 for i in (1, 3, 5))


def sd_round_box(px, py, cx, cy, hw, hh, r):
    qx = abs(px - cx) - hw + r
    qy = abs(py - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_segment(px, py, ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(px - ax - dx * t, py - ay - dy * t) - r


# Output pixels per picture unit; edges stay one output pixel soft.
SCALE = 1


def coverage(d):
    return clamp(0.5 - d * SCALE)


def over(dst, colour, alpha):
    return mix(dst, colour, alpha)


# A page of a template: a white card with a folded corner and a few lines.
def draw_page(px, py, c, x0, y0, w, h, fold, shadow_alpha, lines):
    cx, cy = x0 + w / 2, y0 + h / 2
    # Soft shadow below and right of the card.
    ds = sd_round_box(px, py, cx + 3, cy + 5, w / 2, h / 2, 6)
    c = over(c, (0.05, 0.12, 0.2), shadow_alpha * clamp(1 - (ds + 4) / 10))
    d = sd_round_box(px, py, cx, cy, w / 2, h / 2, 5)
    # Cut the top right corner along the fold's diagonal.
    corner = (px - (x0 + w - fold)) + (y0 + fold - py) - fold
    d = max(d, corner / math.sqrt(2))
    a = coverage(d)
    if a > 0:
        shade = 0.97 - 0.05 * clamp((py - y0) / h)
        c = over(c, (shade, shade + 0.01, shade + 0.02), a)
        for i, (lw, col) in enumerate(lines):
            ly = y0 + h * 0.30 + i * h * 0.13
            dl = sd_segment(px, py, x0 + w * 0.16, ly, x0 + w * (0.16 + lw), ly, h * 0.022)
            c = over(c, col, coverage(dl) * a)
    # The folded flap.
    inside_flap = (px <= x0 + w and py >= y0 and (px - (x0 + w - fold)) + (y0 + fold - py) >= fold)
    if inside_flap:
        df = max(px - (x0 + w), y0 - py, fold - ((px - (x0 + w - fold)) + (y0 + fold - py)))
    else:
        df = 1.0
    dflap = sd_round_box(px, py, x0 + w - fold / 2, y0 + fold / 2, fold / 2, fold / 2, 2)
    tri = (px - (x0 + w - fold)) + (y0 + fold - py) - fold
    dflap = max(dflap, -tri / math.sqrt(2))
    c = over(c, (0.78, 0.85, 0.9), coverage(dflap))
    return c


TEAL = hexrgb("#2b8a8f")
LINE_BLUE = hexrgb("#3d6e9e")
LINE_GREY = hexrgb("#b8c6d2")


def banner_pixel(px, py):
    t = py / 286.0
    top, bottom = hexrgb("#1d3a5a"), hexrgb("#2c7c86")
    c = mix(top, bottom, t ** 1.2)
    # A faint light from the upper left.
    glow = clamp(1 - math.hypot(px - 20, py - 30) / 190)
    c = mix(c, (0.55, 0.75, 0.85), 0.18 * glow * glow)
    # Calm hills at the foot.
    for k, (base, amp, freq, phase, col, alpha) in enumerate((
            (222, 10, 0.028, 0.6, hexrgb("#4a9ea3"), 0.55),
            (240, 8, 0.035, 2.1, hexrgb("#6fb7b0"), 0.65),
            (258, 6, 0.045, 4.0, hexrgb("#9fd0c4"), 0.75))):
        hy = base + amp * math.sin(px * freq + phase)
        c = over(c, col, alpha * coverage(hy - py))
    # Two template pages, one behind the other.
    c = draw_page(px, py, c, 52, 58, 64, 82, 16, 0.0,
                  [(0.5, LINE_GREY), (0.62, LINE_GREY), (0.45, LINE_GREY)])
    c = draw_page(px, py, c, 36, 74, 70, 90, 18, 0.35,
                  [(0.52, LINE_BLUE), (0.64, LINE_GREY), (0.58, LINE_GREY), (0.4, LINE_GREY)])
    # A small round badge with a downward arrow: "install".
    bx, by, br = 104, 158, 19
    ds = sd_circle(px, py, bx + 1.5, by + 2.5, br)
    c = over(c, (0.03, 0.1, 0.15), 0.3 * clamp(1 - (ds + 2) / 6))
    d = sd_circle(px, py, bx, by, br)
    c = over(c, mix(hexrgb("#3fb39a"), hexrgb("#24897a"), clamp((py - by + br) / (2 * br))),
             coverage(d))
    arrow = min(sd_segment(px, py, bx, by - 10, bx, by + 8, 2.6),
                sd_segment(px, py, bx - 8, by + 1, bx, by + 9, 2.6),
                sd_segment(px, py, bx + 8, by + 1, bx, by + 9, 2.6))
    c = over(c, (1, 1, 1), coverage(arrow))
    return c, 1.0


def icon_pixel(px, py):
    d = sd_round_box(px, py, 128, 128, 120, 120, 46)
    a = coverage(d)
    ds = sd_round_box(px, py, 128, 132, 120, 120, 46)
    shadow = 0.25 * clamp(1 - (ds + 1) / 8)
    if a <= 0 and shadow <= 0:
        return (0, 0, 0), 0.0
    t = clamp((px + py) / 512.0)
    c = mix(hexrgb("#2b5a86"), hexrgb("#2e8f91"), t)
    glow = clamp(1 - math.hypot(px - 70, py - 50) / 230)
    c = mix(c, (0.6, 0.8, 0.9), 0.25 * glow * glow)
    c = draw_page(px, py, c, 58, 40, 118, 156, 34, 0.45,
                  [(0.55, LINE_BLUE), (0.66, LINE_GREY), (0.6, LINE_GREY),
                   (0.68, LINE_GREY), (0.42, LINE_GREY)])
    bx, by, br = 172, 176, 44
    dsb = sd_circle(px, py, bx + 3, by + 5, br)
    c = over(c, (0.03, 0.1, 0.15), 0.35 * clamp(1 - (dsb + 3) / 10))
    db = sd_circle(px, py, bx, by, br)
    c = over(c, mix(hexrgb("#48be9f"), hexrgb("#22887a"), clamp((py - by + br) / (2 * br))),
             coverage(db))
    arrow = min(sd_segment(px, py, bx, by - 22, bx, by + 18, 6),
                sd_segment(px, py, bx - 18, by + 2, bx, by + 20, 6),
                sd_segment(px, py, bx + 18, by + 2, bx, by + 20, 6))
    c = over(c, (1, 1, 1), coverage(arrow))
    if a < 1:
        # Edge pixels: blend with the shadow over a light desktop, then decide
        # transparency by coverage so the outline stays crisp.
        if a < 0.5:
            return (0, 0, 0), 0.0
    return c, 1.0


def render(width, height, pixel, scale=1):
    """Samples `pixel` at the centre of every output pixel of a picture
    width x height units large, drawn at `scale` output pixels a unit."""
    global SCALE
    SCALE = scale
    rows = []
    for y in range(height * scale):
        row = []
        for x in range(width * scale):
            c, a = pixel((x + 0.5) / scale, (y + 0.5) / scale)
            if a <= 0:
                row.append(None)
            else:
                row.append(tuple(int(round(clamp(v) * 255)) for v in c))
        rows.append(row)
    return rows


def median_cut(counts, n):
    """Reduces the colour histogram `counts` to at most n representative colours."""
    boxes = [list(counts.items())]
    while len(boxes) < n:
        best, best_score = None, -1
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            ranges = [max(c[0][k] for c in box) - min(c[0][k] for c in box) for k in range(3)]
            score = max(ranges) * math.log(1 + sum(c[1] for c in box))
            if score > best_score:
                best, best_score = i, score
        if best is None:
            break
        box = boxes.pop(best)
        ranges = [max(c[0][k] for c in box) - min(c[0][k] for c in box) for k in range(3)]
        axis = ranges.index(max(ranges))
        box.sort(key=lambda c: c[0][axis])
        total = sum(c[1] for c in box)
        acc, cut = 0, 1
        for j, (_, cnt) in enumerate(box):
            acc += cnt
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])
    palette, mapping = [], {}
    for box in boxes:
        total = sum(c[1] for c in box)
        rep = tuple(int(round(sum(c[0][k] * c[1] for c in box) / total)) for k in range(3))
        # Keep representatives distinct so the colour count is exact.
        while rep in palette:
            rep = (rep[0], rep[1], (rep[2] + 1) % 256)
        palette.append(rep)
        for colour, _ in box:
            mapping[colour] = len(palette) - 1
    return palette, mapping


def write_xpm(path, name, rows, ncolours):
    height, width = len(rows), len(rows[0])
    transparent = any(p is None for row in rows for p in row)
    counts = {}
    for row in rows:
        for p in row:
            if p is not None:
                counts[p] = counts.get(p, 0) + 1
    opaque = ncolours - (1 if transparent else 0)
    if len(counts) < opaque:
        sys.exit("%s: only %d distinct colours, %d wanted" % (name, len(counts), opaque))
    palette, mapping = median_cut(counts, opaque)
    if len(palette) != opaque:
        sys.exit("%s: quantised to %d colours, %d wanted" % (name, len(palette), opaque))
    assert len(set(XPM_CHARS)) == len(XPM_CHARS)
    codes = [a + b for a in XPM_CHARS for b in XPM_CHARS][:ncolours]
    out = ["/* XPM */", "static const char* %s[] = {" % name,
           '"%d %d %d 2",' % (width, height, ncolours)]
    for i, rgb in enumerate(palette):
        out.append('"%s c #%02X%02X%02X",' % ((codes[i],) + rgb))
    none_code = codes[opaque] if transparent else None
    if transparent:
        out.append('"%s c None",' % none_code)
    for y, row in enumerate(rows):
        line = "".join(none_code if p is None else codes[mapping[p]] for p in row)
        out.append('"%s"%s' % (line, "," if y + 1 < height else ""))
    out.append("};")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src", "gtk",
                                                                 "pictures")
    outdir2x = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "..", "src",
                                                                  "gtk3", "pictures")
    os.makedirs(outdir, exist_ok=True)
    os.makedirs(outdir2x, exist_ok=True)
    write_xpm(os.path.join(outdir, "window_icon.xpm"), "window_icon_xpm",
              render(256, 256, icon_pixel), 211)
    write_xpm(os.path.join(outdir, "side_picture.xpm"), "side_picture_xpm",
              render(158, 286, banner_pixel), 256)
    write_xpm(os.path.join(outdir2x, "window_icon_2x.xpm"), "window_icon_2x_xpm",
              render(256, 256, icon_pixel, 2), 211)
    write_xpm(os.path.join(outdir2x, "side_picture_2x.xpm"), "side_picture_2x_xpm",
              render(158, 286, banner_pixel, 2), 256)


if __name__ == "__main__":
    main()
