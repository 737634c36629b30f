#!/usr/bin/python3
"""Draws Tolvane's pictures and program icon as SVG files.

The SVG files in resources/pictures/ and resources/icons/ are checked in; the build only embeds
them. Run this script again after changing a drawing here:

    /usr/bin/python3 resources/tools/draw_pictures.py          # write the SVG files
    /usr/bin/python3 resources/tools/draw_pictures.py --png    # also the icon PNGs (rsvg-convert)

It needs python3-fonttools and fonts-dejavu-core (Debian), and librsvg2-bin for --png. Every
text is turned into outlines of DejaVu Sans, so the pictures look the same whatever fonts the
user's machine has.

Every picture exists in a full-colour version (gradients, soft highlights) and, for the button and
start page roles, a "_16" version for screens with few colours: only the 16 standard VGA colours,
flat fills, no transparency effects, crisp edges.
"""

import argparse
import os
import subprocess
import sys

from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)
PICTURES = os.path.join(RESOURCES, "pictures")
ICONS = os.path.join(RESOURCES, "icons")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# The 16 standard VGA colours, the only ones a "_16" picture may use.
VGA = {
    "black": "#000000", "maroon": "#800000", "green": "#008000", "olive": "#808000",
    "navy": "#000080", "purple": "#800080", "teal": "#008080", "silver": "#C0C0C0",
    "grey": "#808080", "red": "#FF0000", "lime": "#00FF00", "yellow": "#FFFF00",
    "blue": "#0000FF", "fuchsia": "#FF00FF", "aqua": "#00FFFF", "white": "#FFFFFF",
}


def n(v):
    """Number as short SVG text."""
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


# --------------------------------------------------------------------------------------------
# Text as outlines


class Font:
    def __init__(self, file):
        self.tt = TTFont(os.path.join(FONT_DIR, file))
        self.glyphs = self.tt.getGlyphSet()
        self.cmap = self.tt.getBestCmap()
        self.upm = self.tt["head"].unitsPerEm
        self.kern = self.tt["kern"].kernTables[0].kernTable if "kern" in self.tt else {}

    def layout(self, text, size, spacing):
        scale = size / self.upm
        names = [self.cmap[ord(c)] for c in text]
        xs, pos = [], 0.0
        for i, name in enumerate(names):
            if i > 0:
                pos += self.kern.get((names[i - 1], name), 0) * scale + spacing
            xs.append(pos)
            pos += self.tt["hmtx"][name][0] * scale
        return names, xs, pos

    def path(self, text, size, x, y, anchor="start", spacing=0.0):
        """SVG path data of `text` with its baseline at y; anchor as in SVG's text-anchor."""
        names, xs, width = self.layout(text, size, spacing)
        if anchor == "middle":
            x -= width / 2
        elif anchor == "end":
            x -= width
        scale = size / self.upm
        pen = SVGPathPen(self.glyphs, ntos=n)
        for name, gx in zip(names, xs):
            self.glyphs[name].draw(TransformPen(pen, (scale, 0, 0, -scale, x + gx, y)))
        return pen.getCommands()


BOLD = Font("DejaVuSans-Bold.ttf")
BOOK = Font("DejaVuSans.ttf")


# --------------------------------------------------------------------------------------------
# Document


class Svg:
    """One SVG document; `vga` selects the 16-colour flat style."""

    def __init__(self, width, height, vga=False, title=""):
        self.width, self.height, self.vga, self.title = width, height, vga, title
        self.defs, self.body, self.ids = [], [], set()

    def pick(self, full, flat):
        return flat if self.vga else full

    def linear(self, gid, stops, x1=0, y1=0, x2=0, y2=1):
        """A linear gradient (full colour only); returns the paint reference."""
        if not self.vga and gid not in self.ids:
            self.ids.add(gid)
            s = stop_list(stops)
            self.defs.append(f'<linearGradient id="{gid}" x1="{n(x1)}" y1="{n(y1)}" '
                             f'x2="{n(x2)}" y2="{n(y2)}">{s}</linearGradient>')
        return f"url(#{gid})"

    def radial(self, gid, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None):
        if not self.vga and gid not in self.ids:
            self.ids.add(gid)
            s = stop_list(stops)
            f = "" if fx is None else f' fx="{n(fx)}" fy="{n(fy)}"'
            self.defs.append(f'<radialGradient id="{gid}" cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}"'
                             f'{f}>{s}</radialGradient>')
        return f"url(#{gid})"

    def add(self, element):
        self.body.append(element)

    def open(self, transform):
        self.body.append(f'<g transform="{transform}">')

    def close(self):
        self.body.append("</g>")

    def text(self, text, size, x, y, fill, anchor="start", font=BOLD, spacing=0.0, extra="",
             max_width=None):
        """Draws `text` as outlines; shrinks it to max_width pixels when given."""
        if max_width is not None:
            width = font.layout(text, size, spacing)[2]
            if width > max_width:
                size *= max_width / width
        d = font.path(text, size, x, y, anchor, spacing)
        self.add(f'<path fill="{fill}"{extra} d="{d}"/>')

    def render(self):
        crisp = ' shape-rendering="crispEdges"' if self.vga else ""
        out = [
            '<?xml version="1.0" encoding="UTF-8"?>',
            '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" '
            f'width="{self.width}" height="{self.height}" '
            f'viewBox="0 0 {self.width} {self.height}"{crisp}>',
        ]
        if self.title:
            out.append(f"<title>{self.title}</title>")
        if self.defs:
            out.append("<defs>")
            out += ["  " + d for d in self.defs]
            out.append("</defs>")
        depth = 0
        for e in self.body:
            if e == "</g>":
                depth -= 1
            out.append("  " * (depth + 1) + e)
            if e.startswith("<g "):
                depth += 1
        out.append("</svg>")
        return "\n".join(out) + "\n"


def stop_list(stops):
    """Gradient stops from (offset, colour) or (offset, colour, opacity) tuples."""
    out = []
    for stop in stops:
        o, c = stop[0], stop[1]
        a = f' stop-opacity="{n(stop[2])}"' if len(stop) > 2 else ""
        out.append(f'<stop offset="{n(o)}" stop-color="{c}"{a}/>')
    return "".join(out)


def rect(x, y, w, h, fill, stroke=None, sw=1, rx=0, extra=""):
    s = f' stroke="{stroke}" stroke-width="{n(sw)}"' if stroke else ""
    r = f' rx="{n(rx)}"' if rx else ""
    return (f'<rect x="{n(x)}" y="{n(y)}" width="{n(w)}" height="{n(h)}"{r} '
            f'fill="{fill}"{s}{extra}/>')


def path(d, fill, stroke=None, sw=1, extra=""):
    s = f' stroke="{stroke}" stroke-width="{n(sw)}" stroke-linejoin="round"' if stroke else ""
    return f'<path d="{d}" fill="{fill}"{s}{extra}/>'


def circle(cx, cy, r, fill, stroke=None, sw=1, extra=""):
    s = f' stroke="{stroke}" stroke-width="{n(sw)}"' if stroke else ""
    return f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}" fill="{fill}"{s}{extra}/>'


# --------------------------------------------------------------------------------------------
# Colours of the full version

INK = "#1c2430"  # outlines
NAVY_DARK = "#0a1a33"
NAVY = "#143766"

DISK_COLOURS = {
    # name: (light, dark, outline, VGA body, VGA slot)
    "teal": ("#36c2c4", "#11878c", "#0b5357", VGA["teal"], VGA["black"]),
    "blue": ("#4d8fe6", "#1d4fa3", "#12336b", VGA["blue"], VGA["black"]),
    "orange": ("#ffb43c", "#e07a0c", "#8a4a06", VGA["red"], VGA["black"]),
    "slate": ("#6b7a8c", "#3b4656", "#222a35", VGA["grey"], VGA["black"]),
}


# --------------------------------------------------------------------------------------------
# Parts


def floppy35(s, x, y, size, colour, label=None, stroke_px=1.2, simple=False):
    """A 3.5-inch diskette seen from the front, size × size pixels at (x, y); `simple` leaves
    out the details that would only blur at icon sizes."""
    light, dark, outline, vga_body, vga_slot = DISK_COLOURS[colour]
    k = size / 100.0
    sw = stroke_px / k
    s.open(f"translate({n(x)} {n(y)}) scale({n(k)})")
    body = s.pick(s.linear(f"disk-{colour}", [(0, light), (1, dark)], 0, 0, 1, 1), vga_body)
    ink = s.pick(outline, VGA["black"])
    s.add(path("M6 2H85L98 15V94A4 4 0 0 1 94 98H6A4 4 0 0 1 2 94V6A4 4 0 0 1 6 2Z",
               body, ink, sw))
    metal = s.pick(s.linear("metal", [(0, "#f4f6f8"), (0.55, "#c3cad2"), (1, "#8d96a1")],
                            0, 0, 1, 0), VGA["silver"])
    s.add(rect(26, 2, 48, 34, metal, s.pick("#5d6670", VGA["black"]), sw))
    s.add(rect(56, 8, 11, 22, s.pick(dark, vga_slot)))
    paper = s.pick(s.linear("label", [(0, "#ffffff"), (1, "#e3e8ee")]), VGA["white"])
    s.add(rect(12, 48, 76, 46, paper, s.pick("#8a96a3", VGA["black"]), sw * 0.8, rx=3))
    if simple:
        pass
    elif label:
        s.text(label, 34, 50, 84, s.pick(dark, VGA["navy"]), anchor="middle")
    else:
        line = s.pick("#b4bfcb", VGA["grey"])
        for i, w in enumerate((60, 52, 40)):
            s.add(rect(20, 58 + i * 11, w, 5, line, rx=s.pick(2, 0)))
    if not simple:
        s.add(rect(6, 86, 7, 7, s.pick(dark, vga_slot)))
    s.close()


def floppy525(s, x, y, size, stroke_px=1.2):
    """A 5.25-inch diskette in its black sleeve, size × size pixels at (x, y)."""
    k = size / 100.0
    sw = stroke_px / k
    s.open(f"translate({n(x)} {n(y)}) scale({n(k)})")
    sleeve = s.pick(s.linear("sleeve", [(0, "#4a525e"), (1, "#171b22")], 0, 0, 1, 1),
                    VGA["black"])
    s.add(rect(2, 2, 96, 96, sleeve, s.pick("#0c0f14", VGA["grey"]), sw, rx=3))
    paper = s.pick(s.linear("label", [(0, "#ffffff"), (1, "#e3e8ee")]), VGA["white"])
    s.add(rect(10, 7, 60, 20, paper, None))
    s.add(rect(16, 13, 44, 3.5, s.pick("#b4bfcb", VGA["grey"])))
    s.add(rect(16, 19.5, 32, 3.5, s.pick("#b4bfcb", VGA["grey"])))
    media = s.pick("#6b4a2b", VGA["maroon"])
    s.add(circle(50, 56, 17, media))
    s.add(circle(50, 56, 9, s.pick("#d9dde2", VGA["silver"])))
    s.add(circle(50, 56, 5.5, sleeve))
    s.add(rect(44, 78, 12, 18, media, rx=s.pick(5, 0)))
    s.add(rect(94, 30, 4, 9, s.pick("#ffffff", VGA["white"])))
    s.close()


def document(s, x, y, w, h, kind="text"):
    """A sheet of paper with a dog-ear: lines of text, or a small photo."""
    fold = w * 0.28
    ink = s.pick("#56616e", VGA["black"])
    paper = s.pick(s.linear("paper", [(0, "#ffffff"), (1, "#e6ebf1")], 0, 0, 1, 1),
                   VGA["white"])
    s.add(path(f"M{n(x)} {n(y)}H{n(x + w - fold)}L{n(x + w)} {n(y + fold)}V{n(y + h)}"
               f"H{n(x)}Z", paper, ink, 1.2))
    s.add(path(f"M{n(x + w - fold)} {n(y)}V{n(y + fold)}H{n(x + w)}Z",
               s.pick("#c6cfd9", VGA["silver"]), ink, 1.2))
    line = s.pick("#9fb0c2", VGA["grey"])
    lh = max(2.0, h * 0.045)
    if kind == "photo":
        px, py, pw, ph = x + w * 0.14, y + h * 0.34, w * 0.72, h * 0.36
        s.add(rect(px, py, pw, ph, s.pick(s.linear("sky", [(0, "#7cc0f4"), (1, "#cfe9fc")]),
                                          VGA["aqua"])))
        s.add(path(f"M{n(px)} {n(py + ph)}L{n(px + pw * 0.35)} {n(py + ph * 0.45)}"
                   f"L{n(px + pw * 0.55)} {n(py + ph * 0.75)}L{n(px + pw * 0.72)} "
                   f"{n(py + ph * 0.55)}L{n(px + pw)} {n(py + ph)}Z",
                   s.pick("#3f9d4a", VGA["green"])))
        s.add(circle(px + pw * 0.78, py + ph * 0.28, ph * 0.14, s.pick("#ffc53d", VGA["yellow"])))
        s.add(rect(px, py, pw, ph, "none", ink, 0.8))
        for i, f in enumerate((0.72, 0.5)):
            s.add(rect(x + w * 0.14, y + h * (0.78 + i * 0.09), w * f, lh, line))
    else:
        s.add(rect(x + w * 0.14, y + h * 0.17, w * 0.4, lh * 1.2, s.pick("#4d8fe6", VGA["blue"])))
        for i, f in enumerate((0.72, 0.62, 0.72, 0.55, 0.7, 0.45)):
            s.add(rect(x + w * 0.14, y + h * (0.36 + i * 0.1), w * f, lh, line))


def arrow_right(s, x0, x1, cy, shaft, head, head_len, gid="flow"):
    """A thick arrow from x0 to x1 (pointing right when x1 > x0)."""
    d = 1 if x1 > x0 else -1
    hx = x1 - d * head_len
    fill = s.pick(s.linear(gid, [(0, "#ffc25a"), (1, "#e8780a")]), VGA["yellow"])
    s.add(path(f"M{n(x0)} {n(cy - shaft / 2)}H{n(hx)}V{n(cy - head / 2)}L{n(x1)} {n(cy)}"
               f"L{n(hx)} {n(cy + head / 2)}V{n(cy + shaft / 2)}H{n(x0)}Z",
               fill, s.pick("#9a4d05", VGA["black"]), 1.3))


def emblem(s, x, y, size, stroke_px=1.2):
    """Three diskettes fanned out: the program's emblem, size × size pixels at (x, y)."""
    d = size * 0.64
    step = (size - d) / 2
    for i, colour in enumerate(("teal", "blue", "orange")):
        floppy35(s, x + i * step, y + i * step, d, colour, stroke_px=stroke_px)


def card(s, title, subtitle):
    """The face of a big start page button: a light tile with a title at the bottom."""
    w, h = s.width, s.height
    if s.vga:
        s.add(rect(0, 0, w, h, VGA["silver"]))
        s.add(rect(2, 2, w - 4, h - 4, VGA["white"], VGA["grey"], 1))
    else:
        bg = s.linear("card", [(0, "#fbfdff"), (1, "#dce7f4")])
        s.add(rect(0.5, 0.5, w - 1, h - 1, bg, "#9db3cc", 1, rx=9))
    # Without smoothing small letters need a few more pixels to stay legible.
    ty = h - s.pick(30, 33)
    s.text(title, s.pick(17, 18), w / 2, ty, s.pick(NAVY, VGA["navy"]), anchor="middle",
           max_width=w - 16)
    s.text(subtitle, s.pick(10.5, 12), w / 2, ty + s.pick(16, 19),
           s.pick("#4f6480", VGA["black"]), anchor="middle", font=BOOK, max_width=w - 16)


# --------------------------------------------------------------------------------------------
# Pictures


def picture_create(vga):
    w, h = (240, 165) if vga else (209, 158)
    s = Svg(w, h, vga, "Archiv erstellen")
    card(s, "Archiv erstellen", "Dateien auf Datenträger verteilen")
    ox = (w - 200) / 2
    oy = 10 if not vga else 12
    document(s, ox + 4, oy + 6, 44, 58, "photo")
    document(s, ox + 18, oy + 20, 44, 58, "text")
    arrow_right(s, ox + 70, ox + 104, oy + 49, 13, 30, 15)
    floppy35(s, ox + 110, oy + 2, 54, "teal")
    floppy35(s, ox + 128, oy + 18, 54, "blue")
    floppy35(s, ox + 146, oy + 34, 54, "orange")
    return s


def picture_extract(vga):
    w, h = (224, 165) if vga else (209, 159)
    s = Svg(w, h, vga, "Archiv entpacken")
    card(s, "Archiv entpacken", "Dateien wiederherstellen")
    ox = (w - 200) / 2
    oy = 10 if not vga else 12
    floppy35(s, ox + 0, oy + 2, 54, "teal")
    floppy35(s, ox + 18, oy + 18, 54, "blue")
    floppy35(s, ox + 36, oy + 34, 54, "orange")
    arrow_right(s, ox + 96, ox + 130, oy + 49, 13, 30, 15)
    document(s, ox + 138, oy + 6, 44, 58, "text")
    document(s, ox + 152, oy + 20, 44, 58, "photo")
    return s


def drive_box(s, letter, kind):
    """A floppy drive with a diskette half inserted and the drive letter on its front."""
    if kind == "35":
        floppy35(s, 15, 1, 30, "blue", stroke_px=1)
    else:
        floppy525(s, 14, 0, 31, stroke_px=1)
    case = s.pick(s.linear("case", [(0, "#f3f0e8"), (1, "#c5c0b3")]), VGA["silver"])
    ink = s.pick("#4a463e", VGA["black"])
    s.add(rect(3, 24.5, 54, 32, case, ink, 1.2, rx=s.pick(3, 0)))
    s.add(rect(11, 27, 38, 4, s.pick("#2b2a27", VGA["black"]), rx=s.pick(1, 0)))
    if kind == "35":  # the end of the diskette in the slot
        s.add(rect(17, 27, 26, 2, s.pick("#1d4fa3", VGA["blue"])))
    else:
        s.add(rect(17, 27, 26, 2, s.pick("#3b4350", VGA["grey"])))
    s.text(letter, 17, 8, 52, s.pick(NAVY, VGA["navy"]))
    s.add(rect(40, 38, 11, 5, s.pick(s.linear("button", [(0, "#e8e4da"), (1, "#a9a396")]),
                                     VGA["grey"]), ink, 0.9, rx=s.pick(1, 0)))
    led = s.pick(s.radial("led", [(0, "#b8ffb0"), (1, "#1fae2e")]), VGA["lime"])
    s.add(rect(43, 47, 7, 4, led, s.pick("#14621d", VGA["black"]), 0.7, rx=s.pick(1, 0)))


def picture_drive(letter, kind, vga):
    s = Svg(60, 60, vga, f"Laufwerk {letter}")
    drive_box(s, f"{letter}:", kind)
    return s


def picture_harddisk(vga):
    s = Svg(60, 60, vga, "Festplatte")
    ink = s.pick("#2f3640", VGA["black"])
    top = s.pick(s.linear("hd-top", [(0, "#f2f4f7"), (1, "#aeb6c0")], 0, 0, 1, 1),
                 VGA["silver"])
    front = s.pick(s.linear("hd-front", [(0, "#8f99a6"), (1, "#5a6370")]), VGA["grey"])
    side = s.pick(s.linear("hd-side", [(0, "#6f7986"), (1, "#434b56")]), VGA["grey"])
    # a box in oblique view: top face, front face, right side; drawn a little larger
    s.open("translate(30 31) scale(1.08) translate(-30 -34)")
    s.add(path("M4 30L18 16H56L42 30Z", top, ink, 1.2))
    s.add(path("M42 30L56 16V38L42 52Z", side, ink, 1.2))
    s.add(path("M4 30H42V52H4Z", front, ink, 1.2))
    # a label on the lid
    s.add(path("M15 26.5L23 18.5H44L36 26.5Z", s.pick("#ffffff", VGA["white"]),
               s.pick("#7b8592", VGA["grey"]), 0.8))
    for i, (x0, x1) in enumerate(((24, 39), (22, 33))):
        y = 21.5 + i * 2.6
        s.add(path(f"M{x0 - i * 2.6} {y}H{x1 - i * 2.6}", "none", s.pick("#8fa0b3", VGA["grey"]),
                   1.1))
    # front: activity light and grille
    led = s.pick(s.radial("led", [(0, "#b8ffb0"), (1, "#1fae2e")]), VGA["lime"])
    s.add(rect(33, 44, 6, 4, led, s.pick("#14621d", VGA["black"]), 0.7))
    slot = s.pick("#3c434d", VGA["black"])
    for i in range(4):
        s.add(rect(8 + i * 5, 35, 2.5, 13, slot))
    if not s.vga:  # light edge along the front
        s.add(path("M5 31H41", "none", "#ffffff", 1, ' stroke-opacity="0.45"'))
    s.close()
    return s


def badge(s, full_light, full_dark, vga_fill, gid):
    """A round button face."""
    if s.vga:
        s.add(circle(30, 30, 26.5, vga_fill, VGA["black"], 2))
        return
    s.add(circle(30, 31.5, 27, "#000000", extra=' fill-opacity="0.18"'))
    fill = s.radial(gid, [(0, full_light), (1, full_dark)], 0.5, 0.35, 0.7, 0.4, 0.25)
    s.add(circle(30, 30, 26.5, fill, s.pick(full_dark, VGA["black"]), 1.5))
    s.add(f'<ellipse cx="30" cy="17" rx="18" ry="9.5" fill="#ffffff" fill-opacity="0.3"/>')


def picture_arrow(direction, vga):
    s = Svg(60, 60, vga, "Zurück" if direction < 0 else "Weiter")
    badge(s, "#5fa6f2", "#12468f", VGA["blue"], "nav")
    # arrow pointing right, mirrored for the left one
    d = "M14 25H30V15L47 30L30 45V35H14Z"
    mirror = "" if direction > 0 else " matrix(-1 0 0 1 60 0)"
    if not vga:  # soft shadow below and right of the arrow
        s.add(f'<path d="{d}" fill="#0b2f66" fill-opacity="0.35" '
              f'transform="translate(1 1.5){mirror}"/>')
    tf = f' transform="{mirror.strip()}"' if mirror else ""
    s.add(f'<path d="{d}" fill="#FFFFFF" stroke="{s.pick("#0d3a7a", VGA["navy"])}" '
          f'stroke-width="1.2" stroke-linejoin="round"{tf}/>')
    return s


def picture_word(word, vga):
    s = Svg(60, 60, vga, word)
    if word == "GO!":
        badge(s, "#6fdc7a", "#167a2a", VGA["green"], "go")
        size, shade = 19, "#0c4d18"
    else:
        badge(s, "#5fa6f2", "#12468f", VGA["blue"], "nav")
        size, shade = 21, "#0b2f66"
    y = 30 + size * 0.36
    if not vga:
        s.text(word, size, 31, y + 1.5, shade, anchor="middle", extra=' fill-opacity="0.45"')
    s.text(word, size, 30, y, "#FFFFFF", anchor="middle")
    return s


def gloss(s, x, y, w, h, rx):
    """A soft light falling on the upper part of a dark surface."""
    g = s.linear("gloss", [(0, "#ffffff", 0.16), (1, "#ffffff", 0)])
    s.add(rect(x, y, w, h, g, rx=rx))


def picture_banner():
    s = Svg(62, 193, False, "Tolvane")
    bg = s.linear("banner", [(0, "#1d4d8a"), (0.55, "#10305a"), (1, "#071427")])
    s.add(rect(0.5, 0.5, 61, 192, bg, "#2a9fa6", 1, rx=7))
    gloss(s, 1.5, 1.5, 59, 70, 6)
    emblem(s, 9, 9, 44, stroke_px=0.9)
    s.add(rect(10, 61, 42, 1.5, "#2fc3c6"))
    # the name, reading upwards between the two lines
    s.open("rotate(-90 31 122)")
    s.text("TOLVANE", 20, 31, 122 + 7.3, "#ffffff", anchor="middle", spacing=1.6,
           max_width=104)
    s.close()
    s.add(rect(10, 182, 42, 1.5, "#2fc3c6"))
    return s


def picture_logo():
    s = Svg(69, 35, False, "Tolvane 2.0")
    emblem(s, 1, 1, 33, stroke_px=0.7)
    s.text("2.0", 18, 52, 23.5, "#ffffff", anchor="middle")
    s.add(rect(38, 27, 28, 1.5, "#2fc3c6"))
    return s


def picture_about():
    s = Svg(314, 98, False, "Tolvane")
    bg = s.linear("about", [(0, "#1d4d8a"), (0.6, "#10305a"), (1, "#071427")], 0, 0, 1, 1)
    s.add(rect(0.5, 0.5, 313, 97, bg, "#0a1d38", 1, rx=10))
    gloss(s, 1.5, 1.5, 311, 50, 9)
    emblem(s, 14, 12, 74, stroke_px=1.1)
    s.text("Tolvane", 44, 104, 56, "#ffffff")
    s.add(rect(106, 66, 192, 2, "#2fc3c6"))
    s.text("Dateien auf Datenträger verteilen", 12.5, 106, 84, "#a9cdf5", font=BOOK,
           max_width=192)
    return s


def icon():
    s = Svg(256, 256, False, "Tolvane")
    emblem(s, 8, 8, 240, stroke_px=4)
    return s


def small_icon():
    """The icon redrawn for 16 and 32 pixels: two diskettes with firm outlines."""
    s = Svg(16, 16, False, "Tolvane")
    floppy35(s, 0.5, 0.5, 11, "blue", stroke_px=0.8, simple=True)
    floppy35(s, 4.5, 4.5, 11, "orange", stroke_px=0.8, simple=True)
    return s


# --------------------------------------------------------------------------------------------


def write(s, folder, name):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
        f.write(s.render())


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--png", action="store_true", help="render the icon PNGs with rsvg-convert")
    args = ap.parse_args()

    for vga in (False, True):
        suffix = "_16.svg" if vga else ".svg"
        write(picture_create(vga), PICTURES, "create" + suffix)
        write(picture_extract(vga), PICTURES, "extract" + suffix)
        write(picture_drive("A", "35", vga), PICTURES, "drive_a" + suffix)
        write(picture_drive("B", "525", vga), PICTURES, "drive_b" + suffix)
        write(picture_harddisk(vga), PICTURES, "harddisk" + suffix)
        write(picture_arrow(-1, vga), PICTURES, "back" + suffix)
        write(picture_arrow(1, vga), PICTURES, "next" + suffix)
        write(picture_word("GO!", vga), PICTURES, "go" + suffix)
        write(picture_word("OK", vga), PICTURES, "ok" + suffix)
    write(picture_banner(), PICTURES, "banner.svg")
    write(picture_logo(), PICTURES, "logo.svg")
    write(picture_about(), PICTURES, "about.svg")
    write(icon(), ICONS, "tolvane.svg")

    if args.png:
        small = small_icon().render().encode("utf-8")
        large = icon().render().encode("utf-8")
        for size in (16, 32, 48, 64, 128, 256):
            out = os.path.join(ICONS, f"tolvane-{size}.png")
            subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", out],
                           input=small if size <= 32 else large, check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
