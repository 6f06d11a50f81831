#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program icon and writes the four files made from it:

  Kovelith.ico        the icon file itself: the tests check the window icon and image 30001 against it
  Kovelith-image.bin  the same image without the .ico directory: image 30001 of the Windows resource script
  kovelith.png        the same picture for the Linux desktop (hicolor 32x32)
  Kovelith.xpm        the window icon, compiled into the program: Qt reads it without an image plugin

Run it from anywhere after changing the drawing; it rewrites the four files next to itself.
Only the standard library is needed.
"""
import pathlib
import struct
import zlib

SIZE = 32
INSET = 5  # the yellow square covers 5..26 on both axes
SQUARE = SIZE - 2 * INSET

# The standard 16-colour palette, in the order Windows gives it.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
YELLOW = 11
CYAN = 14

# The glyph inside the square: a bold question mark, '#' cyan, '.' yellow.
GLYPH = """
......................
......................
......................
........######........
.......########.......
......###....###......
......##......##......
..............##......
..............##......
.............###......
............###.......
...........###........
..........###.........
..........##..........
..........##..........
..........##..........
......................
......................
..........##..........
..........##..........
......................
......................
""".split()


def pixels():
    """Rows top to bottom of palette indices, None where the icon is transparent."""
    assert len(GLYPH) == SQUARE and all(len(row) == SQUARE for row in GLYPH)
    rows = [[None] * SIZE for _ in range(SIZE)]
    for y, row in enumerate(GLYPH):
        for x, mark in enumerate(row):
            rows[INSET + y][INSET + x] = CYAN if mark == "#" else YELLOW
    return rows


def dib(rows):
    """The icon image as Windows stores it: header, palette, 4-bit colours, 1-bit mask, bottom row first."""
    colours = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        indices = [0 if p is None else p for p in row]  # transparent pixels are black under the mask
        colours += bytes(indices[x] << 4 | indices[x + 1] for x in range(0, SIZE, 2))
        bits = 0
        for p in row:
            bits = bits << 1 | (p is None)
        mask += bits.to_bytes(SIZE // 8, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(colours) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colours) + bytes(mask)


def ico(image):
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), len(directory) + 16)
    return directory + entry + image


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for p in row:
            raw += bytes(4) if p is None else bytes(PALETTE[p]) + b"\xff"
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def xpm(rows):
    """The image as C source: one character per pixel, the palette index in hex, blank where transparent."""
    lines = [f"{SIZE} {SIZE} {len(PALETTE) + 1} 1", "  c None"]
    lines += [f"{i:x} c #{r:02X}{g:02X}{b:02X}" for i, (r, g, b) in enumerate(PALETTE)]
    lines += ["".join(" " if p is None else f"{p:x}" for p in row) for row in rows]
    body = ",\n".join(f'"{line}"' for line in lines)
    return ("/* SPDX-License-Identifier: GPL-3.0-or-later */\n/* XPM */\n"
            f"static const char *const kovelith_xpm[] = {{\n{body}}};\n")


def main():
    here = pathlib.Path(__file__).resolve().parent
    rows = pixels()
    image = dib(rows)
    (here / "Kovelith.ico").write_bytes(ico(image))
    (here / "Kovelith-image.bin").write_bytes(image)
    (here / "kovelith.png").write_bytes(png(rows))
    (here / "Kovelith.xpm").write_text(xpm(rows))


if __name__ == "__main__":
    main()
