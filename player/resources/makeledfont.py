# Draws the display's seven-segment LED faces and writes them as one TrueType collection:
# "TRX-Digital" (upright, the time and number fields) and "QVN-Digital-2" (slanted).
# Run by the build: fontforge -lang=py -script makeledfont.py <output.ttc>
import sys

import fontforge
import psMat

EM = 1000
ADVANCE = 640
LEFT, RIGHT = 90, 550
BOTTOM, MIDDLE, TOP = 0, 360, 720
THICK = 80
GAP = 12

# Segments as (x0, y0, x1, y1) centre lines: horizontal a, g, d; vertical f, b, e, c.
SEGMENTS = {
    "a": (LEFT, TOP, RIGHT, TOP),
    "g": (LEFT, MIDDLE, RIGHT, MIDDLE),
    "d": (LEFT, BOTTOM + THICK // 2, RIGHT, BOTTOM + THICK // 2),
    "f": (LEFT, MIDDLE, LEFT, TOP),
    "b": (RIGHT, MIDDLE, RIGHT, TOP),
    "e": (LEFT, BOTTOM + THICK // 2, LEFT, MIDDLE),
    "c": (RIGHT, BOTTOM + THICK // 2, RIGHT, MIDDLE),
}

DIGITS = {
    "0": "abcdef", "1": "bc", "2": "abdeg", "3": "abcdg", "4": "bcfg",
    "5": "acdfg", "6": "acdefg", "7": "abc", "8": "abcdefg", "9": "abcdfg",
    "A": "abcefg", "b": "cdefg", "C": "adef", "d": "bcdeg", "E": "adefg", "F": "aefg",
    "H": "bcefg", "L": "def", "P": "abefg", "r": "eg", "U": "bcdef", "-": "g",
}


def segment(pen, name):
    # A bar with pointed ends, so that neighbouring segments meet in a mitre.
    x0, y0, x1, y1 = SEGMENTS[name]
    h = THICK // 2
    if y0 == y1:
        points = [(x0 + GAP, y0), (x0 + GAP + h, y0 + h), (x1 - GAP - h, y0 + h),
                  (x1 - GAP, y0), (x1 - GAP - h, y0 - h), (x0 + GAP + h, y0 - h)]
    else:
        points = [(x0, y0 + GAP), (x0 - h, y0 + GAP + h), (x0 - h, y1 - GAP - h),
                  (x0, y1 - GAP), (x0 + h, y1 - GAP - h), (x0 + h, y0 + GAP + h)]
    pen.moveTo(points[0])
    for point in points[1:]:
        pen.lineTo(point)
    pen.closePath()


def square(pen, x, y, size):
    pen.moveTo((x, y))
    pen.lineTo((x, y + size))
    pen.lineTo((x + size, y + size))
    pen.lineTo((x + size, y))
    pen.closePath()


def build(family, slant):
    font = fontforge.font()
    font.encoding = "UnicodeFull"
    font.em = EM
    font.ascent = 800
    font.descent = 200
    font.familyname = family
    font.fontname = family
    font.fullname = family
    font.copyright = "Drawn for the Korvo player by its build."
    font.version = "1.0"
    for char, lit in DIGITS.items():
        glyph = font.createChar(ord(char))
        pen = glyph.glyphPen()
        for name in lit:
            segment(pen, name)
        pen = None
        glyph.width = ADVANCE
    colon = font.createChar(ord(":"))
    pen = colon.glyphPen()
    square(pen, 120, 180, THICK)
    square(pen, 120, 500, THICK)
    pen = None
    colon.width = 320
    dot = font.createChar(ord("."))
    pen = dot.glyphPen()
    square(pen, 120, 0, THICK)
    pen = None
    dot.width = 320
    font.createChar(ord(" ")).width = ADVANCE
    for glyph in font.glyphs():
        glyph.removeOverlap()
        glyph.correctDirection()
        if slant:
            glyph.transform(psMat.skew(slant))
    return font


def main():
    out = sys.argv[1]
    trx = build("TRX-Digital", 0)
    qvn = build("QVN-Digital-2", 0.17)
    trx.generateTtc(out, (qvn,), ttcflags=("merge",), layer=trx.activeLayer)


main()
