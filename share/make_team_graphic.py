#!/usr/bin/env python3
"""Draws the sample team graphic: BRENVO in block letters over a sky and a
pitch, 256 x 64 pixels in 16 colours, written as an XPM file."""
import sys

W, H = 256, 64
FONT = {  # 5 x 7 glyphs, row by row
    'B': ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    'R': ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'N': ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    'V': ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    'O': [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
}
COLOURS = [
    "#0B1D4F", "#10286A", "#163585", "#1D43A0", "#2552B8", "#2E62CC",  # sky, top to bottom
    "#050A1E",                                                         # shadow
    "#FFF3A0", "#FFD84A", "#FFB020", "#F08010",                        # letters, top to bottom
    "#FFFFFF",                                                         # outline
    "#2E8B3A", "#3DA64A",                                              # pitch stripes
    "#D8E8D8",                                                         # pitch line
    "#E02828",                                                         # the ball's patches
]
CHARS = " .+@#$%&*=-;>,')"
SCALE, LEFT, TOP = 6, 23, 3


def letter_at(x, y):
    gx, gy = x - LEFT, y - TOP
    if gx < 0 or gy < 0 or gy >= 7 * SCALE:
        return False
    i, cx = divmod(gx, 6 * SCALE)
    if i >= len("BRENVO") or cx >= 5 * SCALE:
        return False
    return FONT["BRENVO"[i]][gy // SCALE][cx // SCALE] == '#'


def pixel(x, y):
    if letter_at(x, y):
        return 7 + min(3, (y - TOP) * 4 // (7 * SCALE))
    if any(letter_at(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
        return 11
    if letter_at(x - 2, y - 2):
        return 6
    bx, by = x - 236, y - 54  # the ball on the pitch
    if bx * bx + by * by <= 36:
        return 15 if (bx + by) % 4 == 0 else 11
    if y == 48:
        return 14
    if y > 48:
        return 12 + (x // 16) % 2
    return y * 6 // 48


def main():
    out = sys.stdout
    out.write("/* XPM */\n/* BRENVO's team graphic, drawn by share/make_team_graphic.py */\n")
    out.write("static char * brenvo_team_xpm[] = {\n")
    out.write('"%d %d %d 1",\n' % (W, H, len(COLOURS)))
    for c, colour in zip(CHARS, COLOURS):
        out.write('"%s c %s",\n' % (c, colour))
    rows = ['"' + "".join(CHARS[pixel(x, y)] for x in range(W)) + '"' for y in range(H)]
    out.write(",\n".join(rows) + "};\n")


main()
