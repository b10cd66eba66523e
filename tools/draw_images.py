#!/usr/bin/python3
"""Draws the window's SVG images into resources/: buttons, icons, panels, the emblem and the wordmark.

Every image is our own drawing, kept to what the framework's SVG reader draws (paths, basic shapes,
groups, transforms, gradients). The wordmark is the word "Calyth" as outlines of the embedded typeface
(Debian's python3-fonttools reads the glyphs). Run it from anywhere: python3 tools/draw_images.py
"""
import math
import os
import sys

from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources")
FONT = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Medium.ttf"

ACCENT = "#08C095"
ACCENT_DARK = "#079A78"
GLYPH_OFF = "#5A5A5A"


def num(v):
    """Short decimal text for a coordinate."""
    text = ("%.2f" % v).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def svg(width, height, body, defs=""):
    w, h = num(width), num(height)
    head = '<?xml version="1.0" encoding="UTF-8"?>\n'
    head += '<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s" viewBox="0 0 %s %s">\n' % (w, h, w, h)
    if defs:
        head += "  <defs>\n" + defs + "  </defs>\n"
    return head + body + "</svg>\n"


def write(name, text):
    with open(os.path.join(OUT, name + ".svg"), "w") as f:
        f.write(text)


# ---------------------------------------------------------------- round buttons (596 x 596)

def disc(on):
    """Black square, a dark disc with a lighter rim; the on state adds an accent ring."""
    defs = ('    <radialGradient id="face" gradientUnits="userSpaceOnUse" cx="298" cy="250" r="300">\n'
            '      <stop offset="0" stop-color="#333333"/>\n'
            '      <stop offset="1" stop-color="#202020"/>\n'
            '    </radialGradient>\n')
    body = ('  <circle cx="298" cy="298" r="294" fill="#000000"/>\n'
            '  <circle cx="298" cy="298" r="280" fill="#2B2B2B"/>\n'
            '  <circle cx="298" cy="298" r="262" fill="url(#face)"/>\n')
    if on:
        body += '  <circle cx="298" cy="298" r="271" fill="none" stroke="%s" stroke-width="14"/>\n' % ACCENT
    return defs, body


def round_button(name, glyph):
    for on in (False, True):
        defs, body = disc(on)
        colour = ACCENT if on else GLYPH_OFF
        write(name + ("On" if on else "Off"), svg(596, 596, body + glyph(colour), defs))


def arrow_ring(colour, cx=298, cy=298, r=150, width=30):
    """A circular arrow: an open ring with an arrow head at its end (regenerate)."""
    a0, a1 = math.radians(-60), math.radians(230)
    x0, y0 = cx + r * math.cos(a0), cy + r * math.sin(a0)
    x1, y1 = cx + r * math.cos(a1), cy + r * math.sin(a1)
    ring = '  <path d="M %s %s A %s %s 0 1 1 %s %s" fill="none" stroke="%s" stroke-width="%d" stroke-linecap="round"/>\n' % (
        num(x0), num(y0), r, r, num(x1), num(y1), colour, width)
    # arrow head at the start, pointing along the ring (counter-clockwise)
    tx, ty = -math.sin(a0), math.cos(a0)
    nx, ny = math.cos(a0), math.sin(a0)
    tip = (x0 - tx * 55, y0 - ty * 55)
    b1 = (x0 + nx * 45 + tx * 10, y0 + ny * 45 + ty * 10)
    b2 = (x0 - nx * 45 + tx * 10, y0 - ny * 45 + ty * 10)
    head = '  <path d="M %s %s L %s %s L %s %s Z" fill="%s"/>\n' % (
        num(tip[0]), num(tip[1]), num(b1[0]), num(b1[1]), num(b2[0]), num(b2[1]), colour)
    return ring + head


def grid_glyph(quadrant):
    """Four squares, one of them filled: the pole a regenerate-pole button redraws."""
    def glyph(colour):
        out = arrow_ring(colour, r=185, width=24)
        size, gap, x0, y0 = 70, 16, 298 - 78, 298 - 78
        for q in range(4):
            x = x0 + (q % 2) * (size + gap)
            y = y0 + (q // 2) * (size + gap)
            if q == quadrant:
                out += '  <rect x="%d" y="%d" width="%d" height="%d" rx="8" fill="%s"/>\n' % (x, y, size, size, colour)
            else:
                out += ('  <rect x="%d" y="%d" width="%d" height="%d" rx="8" fill="none" stroke="%s" stroke-width="12"/>\n'
                        % (x + 6, y + 6, size - 12, size - 12, colour))
        return out
    return glyph


def world_glyph(colour):
    """A globe inside a regenerate arrow: every engine at once."""
    out = arrow_ring(colour, r=200, width=26)
    out += '  <circle cx="298" cy="298" r="112" fill="none" stroke="%s" stroke-width="18"/>\n' % colour
    out += '  <ellipse cx="298" cy="298" rx="48" ry="112" fill="none" stroke="%s" stroke-width="14"/>\n' % colour
    out += '  <path d="M 186 298 L 410 298 M 205 240 L 391 240 M 205 356 L 391 356" stroke="%s" stroke-width="14"/>\n' % colour
    return out


def edit_glyph(colour):
    """Three slider tracks with their handles: edit the engine settings."""
    out = ""
    for i, (y, x) in enumerate(((200, 250), (298, 360), (396, 220))):
        out += '  <path d="M 150 %d L 446 %d" stroke="%s" stroke-width="26" stroke-linecap="round"/>\n' % (y, y, colour)
        out += '  <circle cx="%d" cy="%d" r="40" fill="#262626" stroke="%s" stroke-width="22"/>\n' % (x, y, colour)
    return out


def link_glyph(colour):
    """Two chain links side by side: left and right channel tied together."""
    out = ""
    for cx in (230, 366):
        out += ('  <rect x="%d" y="218" width="190" height="160" rx="80" fill="none" stroke="%s" stroke-width="34" '
                'transform="rotate(-30 %d 298)"/>\n' % (cx - 95, colour, cx))
    return out


def trajectory_glyph(colour):
    """A path bouncing inside a box, with the moving point."""
    out = '  <rect x="150" y="150" width="296" height="296" rx="24" fill="none" stroke="%s" stroke-width="18"/>\n' % colour
    out += ('  <path d="M 180 330 L 290 180 L 416 300 L 320 416 L 230 320" fill="none" stroke="%s" stroke-width="20" '
            'stroke-linejoin="round" stroke-linecap="round"/>\n' % colour)
    out += '  <circle cx="230" cy="320" r="34" fill="%s"/>\n' % colour
    return out


def dice_glyph(colour):
    """A die showing five: a random trajectory."""
    out = '  <rect x="160" y="160" width="276" height="276" rx="48" fill="none" stroke="%s" stroke-width="24"/>\n' % colour
    for x, y in ((228, 228), (368, 228), (298, 298), (228, 368), (368, 368)):
        out += '  <circle cx="%d" cy="%d" r="27" fill="%s"/>\n' % (x, y, colour)
    return out


# ---------------------------------------------------------------- small icons

def gear():
    """Eight teeth around a ring (settings)."""
    cx = cy = 100
    points = []
    teeth = 8
    for i in range(teeth * 4):
        a = (i / (teeth * 4.0)) * 2 * math.pi - math.pi / 2
        r = 86 if (i % 4) in (1, 2) else 66
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    d = "M " + " L ".join("%s %s" % (num(x), num(y)) for x, y in points) + " Z"
    # the hole is drawn as a second sub-path in the other direction (even-odd fill)
    hole = "M 128 100 A 28 28 0 1 0 72 100 A 28 28 0 1 0 128 100 Z"
    return svg(200, 200, '  <path d="%s %s" fill="%s" fill-rule="evenodd"/>\n' % (d, hole, ACCENT))


def floppy():
    """A floppy disk (save)."""
    body = '  <path d="M 20 14 L 150 14 L 186 50 L 186 186 L 14 186 L 14 20 Z" fill="%s"/>\n' % ACCENT
    body += '  <rect x="50" y="14" width="88" height="56" fill="#000000"/>\n'
    body += '  <rect x="108" y="24" width="20" height="36" fill="%s"/>\n' % ACCENT
    body += '  <rect x="42" y="108" width="116" height="78" rx="6" fill="#000000"/>\n'
    return svg(200, 200, body)


def chevron(size, pointing_right, on):
    """A triangle in the accent colour; the pressed state sits on a dark disc."""
    s = size / 60.0
    if pointing_right:
        pts = [(22, 14), (44, 30), (22, 46)]
    else:
        pts = [(38, 14), (16, 30), (38, 46)]
    d = "M " + " L ".join("%s %s" % (num(x * s), num(y * s)) for x, y in pts) + " Z"
    body = ""
    if on:
        body += '  <circle cx="%s" cy="%s" r="%s" fill="#262626"/>\n' % (num(30 * s), num(30 * s), num(29 * s))
        body += '  <path d="%s" fill="%s"/>\n' % (d, ACCENT)
    else:
        body += '  <path d="%s" fill="%s" fill-opacity="0.85"/>\n' % (d, ACCENT)
    return svg(size, size, body)


# ---------------------------------------------------------------- panels

def header_panel():
    defs = ('    <linearGradient id="bg" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="63.952">\n'
            '      <stop offset="0" stop-color="#292929"/>\n'
            '      <stop offset="1" stop-color="#1F1F1F"/>\n'
            '    </linearGradient>\n')
    body = '  <rect x="0" y="0" width="476" height="63.952" fill="url(#bg)"/>\n'
    body += '  <rect x="0" y="61.952" width="476" height="2" fill="#323232"/>\n'
    # The preset bar's frame, 4 units clear of the bar (108 to 368 here) on both sides; its right edge keeps
    # 2.5 units of ground before the settings gear's teeth at 375.
    body += '  <rect x="104" y="13" width="268" height="38" rx="6" fill="#1F1F1F" stroke="#323232" stroke-width="1"/>\n'
    return svg(476, 63.952, body, defs)


def pad_panel():
    body = '  <rect x="0" y="0" width="476" height="298" fill="#1F1F1F"/>\n'
    # The pad's frame, its stroke centred 3 units outside the pad on every side. The window stretches this
    # panel to 300 units high, so heights are window units times sy; from the panel's corner the pad covers
    # 96 to 380 across and 8 to 292 down, in window units.
    sy = 298 / 300.0
    body += ('  <rect x="93" y="%s" width="290" height="%s" rx="3" fill="#000000" stroke="#323232" stroke-width="2"/>\n'
             % (num(5 * sy), num(290 * sy)))
    # trays behind the left buttons and the right column of pole controls
    body += '  <rect x="12" y="68" width="72" height="226" rx="10" fill="#181818"/>\n'
    for i in range(4):
        y = 12 + 71 * i
        body += '  <rect x="386" y="%d" width="82" height="66" rx="10" fill="#181818"/>\n' % y
        body += '  <rect x="430" y="%d" width="1" height="50" fill="#323232"/>\n' % (y + 8)
    return svg(476, 298, body)


def knobs_panel():
    h = 234.048
    body = '  <rect x="0" y="0" width="476" height="%s" fill="#1F1F1F"/>\n' % num(h)
    body += '  <rect x="0" y="0" width="476" height="2" fill="#323232"/>\n'
    # three groups around the knobs' places: trajectory (X and Y rows), gains, mix
    for x, w in ((9, 218), (245, 96), (366, 98)):
        body += ('  <rect x="%d" y="14" width="%d" height="208" rx="8" fill="#232323" stroke="#323232" stroke-width="1.5"/>\n'
                 % (x, w))
        # an accent tab on the top edge, a light-grey rule under it
        body += '  <rect x="%d" y="12.5" width="28" height="3" rx="1.5" fill="%s"/>\n' % (x + w // 2 - 14, ACCENT)
        body += '  <rect x="%d" y="28" width="%d" height="1" fill="#BDBDBD" fill-opacity="0.25"/>\n' % (x + 14, w - 28)
    return svg(476, h, body)


def preset_field():
    defs = ('    <linearGradient id="fill" gradientUnits="userSpaceOnUse" x1="0" y1="6" x2="0" y2="54">\n'
            '      <stop offset="0" stop-color="%s"/>\n'
            '      <stop offset="1" stop-color="%s"/>\n'
            '    </linearGradient>\n' % (ACCENT, ACCENT_DARK))
    body = '  <rect x="0.5" y="0.5" width="299" height="59" rx="8" fill="#272727" stroke="#444444" stroke-width="1"/>\n'
    body += '  <rect x="6" y="6" width="288" height="48" rx="5" fill="url(#fill)"/>\n'
    return svg(300, 60, body, defs)


# ---------------------------------------------------------------- brand marks

def emblem():
    """A calyx: three broad, round-tipped petals opening from one base. White on transparent."""
    base = (1500, 2620)
    body = ""
    for angle, length in ((-40, 1750), (40, 1750), (0, 2250)):
        tip = base[1] - length
        mid = base[1] - length * 0.6
        half = length * 0.34
        petal = "M 1500 %d C %d %d %d %d 1500 %d C %d %d %d %d 1500 %d Z" % (
            base[1], 1500 - half, mid + half, 1500 - half * 0.8, mid - half, tip,
            1500 + half * 0.8, mid - half, 1500 + half, mid + half, base[1])
        body += '  <path d="%s" fill="#FFFFFF" transform="rotate(%d 1500 %d)"/>\n' % (petal, angle, base[1])
    body += '  <circle cx="1500" cy="%d" r="230" fill="#FFFFFF"/>\n' % base[1]
    return svg(3000, 3000, body)


def wordmark():
    """"Calyth" as white outlines, fitted into 600 x 100 with a small margin."""
    font = TTFont(FONT)
    glyphs = font.getGlyphSet()
    cmap = font.getBestCmap()
    names = [cmap[ord(ch)] for ch in "Calyth"]
    advances, x = [], 0
    for n in names:
        advances.append(x)
        x += font["hmtx"][n][0]
    bounds = BoundsPen(glyphs)
    for n, dx in zip(names, advances):
        glyphs[n].draw(TransformPen(bounds, (1, 0, 0, 1, dx, 0)))
    x0, y0, x1, y1 = bounds.bounds
    scale = min(584.0 / (x1 - x0), 92.0 / (y1 - y0))
    ox = (600 - (x1 - x0) * scale) / 2 - x0 * scale
    oy = (100 + (y1 - y0) * scale) / 2 + y0 * scale  # y grows downwards in SVG
    body = ""
    for n, dx in zip(names, advances):
        pen = SVGPathPen(glyphs, ntos=lambda v: "%.1f" % v)
        glyphs[n].draw(TransformPen(pen, (scale, 0, 0, -scale, ox + dx * scale, oy)))
        body += '  <path d="%s" fill="#FFFFFF"/>\n' % pen.getCommands()
    return svg(600, 100, body)


def main():
    round_button("GenerateWorldButton", world_glyph)
    round_button("TopLeftButton", grid_glyph(0))
    round_button("TopRightButton", grid_glyph(1))
    round_button("BottomLeftButton", grid_glyph(2))
    round_button("BottomRightButton", grid_glyph(3))
    round_button("EditButton", edit_glyph)
    round_button("TrajectoryButton", trajectory_glyph)
    round_button("TrajectoryRandomButton", dice_glyph)
    for on in (False, True):
        defs, body = disc(on)
        write("Stereo_Link_On_Icon" if on else "Stereo_Link_Off_Icon",
              svg(596, 596, body + link_glyph(ACCENT if on else GLYPH_OFF), defs))
        size = 60 if on else 51.36
        suffix = "On" if on else "Off"
        write("Next_Button_" + suffix, chevron(size, True, on))
        write("Previous_Button_" + suffix, chevron(size, False, on))
    write("SettingsIcon", gear())
    write("SavePresetIcon", floppy())
    write("HeaderPanel", header_panel())
    write("PadPanel", pad_panel())
    write("KnobsPanel", knobs_panel())
    write("PresetNameField", preset_field())
    write("HeaderEmblem", emblem())
    write("HeaderWordmark", wordmark())
    return 0


if __name__ == "__main__":
    sys.exit(main())
