#!/usr/bin/env python3
"""Writes resources/FolderImages.bmp, the strip of 16x16 folder images that
the add-in shows next to Outlook folders (resource name OUTLOOK_FOLDERS,
see resources/FolderImages.rc).

Layout: one 240x16 bitmap, 24 bits per pixel, holding 15 images side by side.
Image i occupies columns 16*i .. 16*i+15, in this order:

     0 plain folder        5 tasks             10 sent mail
     1 store               6 journal           11 drafts
     2 mail folder         7 note              12 junk mail
     3 calendar            8 deleted items     13 RSS feed
     4 contacts            9 outbox            14 search folder

The background is magenta, RGB(255,0,255), and is the transparent colour of
the image list; the bottom-left pixel of the strip is always background, so
code that takes the mask colour from that pixel sees magenta.

Each image is drawn below as 16 rows of 16 characters, top row first; every
character is a key of PALETTE. The build does not run this script: after
changing a drawing, regenerate and commit the bitmap:

    python3 tools/folderimages/make_folder_images.py

(an optional argument gives another output path). To look at the result,
enlarge it, e.g. `convert resources/FolderImages.bmp -scale 800% strip.png`.
"""

import os
import struct
import sys

SIZE = 16

PALETTE = {
    '.': (255, 0, 255),    # background / transparent
    'k': (32, 32, 40),     # dark outline
    'D': (88, 88, 96),     # dark grey
    'G': (148, 148, 156),  # mid grey
    'g': (204, 204, 210),  # light grey
    'W': (255, 255, 255),  # white
    'o': (150, 104, 16),   # folder / paper outline (dark ochre)
    'y': (226, 174, 56),   # folder back and shade
    'Y': (255, 212, 88),   # folder face
    'L': (255, 240, 172),  # folder highlight
    'N': (20, 44, 120),    # navy
    'B': (44, 96, 204),    # blue
    'b': (150, 188, 244),  # light blue
    'M': (128, 16, 16),    # dark red
    'R': (220, 36, 36),    # red
    'r': (255, 150, 150),  # pink
    'e': (16, 104, 24),    # dark green
    'E': (56, 176, 56),    # green
    'q': (176, 72, 0),     # dark orange
    'O': (244, 132, 20),   # orange
    'P': (255, 190, 120),  # light orange
    'n': (120, 72, 28),    # brown
    'T': (206, 156, 96),   # tan
    'S': (244, 200, 160),  # skin
}

BLANK = "." * SIZE

# The folder both the plain and the mail folder are drawn from.
FOLDER = [
    ".ooooo..........",
    "oyyyyyo.........",
    "oyyyyyyoooooooo.",
    "oyyyyyyyyyyyyyyo",
    "oooooooooooooooo",
    "oLLLLLLLLLLLLLLo",
    "oLYYYYYYYYYYYYYo",
    "oLYYYYYYYYYYYYYo",
    "oLYYYYYYYYYYYYYo",
    "oLYYYYYYYYYYYYYo",
    "oLYYYYYYYYYYYYYo",
    "oyyyyyyyyyyyyyyo",
    "oooooooooooooooo",
]

ENVELOPE = [
    "DDDDDDDDDDD",
    "DGWWWWWWWGD",
    "DWGWWWWWGWD",
    "DWWGWWWGWWD",
    "DWWWGGGWWWD",
    "DWWWWWWWWWD",
    "DDDDDDDDDDD",
]


def overlay(rows, picture, top, left):
    """rows with picture drawn over them, its top-left corner at (top, left)."""
    out = list(rows)
    for i, line in enumerate(picture):
        row = out[top + i]
        out[top + i] = row[:left] + line + row[left + len(line):]
    return out


# fmt: off
IMAGES = [
    ("plain folder", [BLANK] * 2 + FOLDER + [BLANK]),
    ("store", [
        "................",
        "....kkkkkkkk....",
        "..kkbbbbbbbbkk..",
        ".kbbWWWbbbbbbbk.",
        ".kbbbbbbbbbbbbk.",
        ".kBkkbbbbbbkkNk.",
        ".kBBBkkkkkkNNNk.",
        ".kWBBBBBBBBBBNk.",
        ".kWBBBBBBBBBBNk.",
        ".kbBBBBBBBBBBNk.",
        ".kNNBBBBBBBBNNk.",
        ".kWBNNNNNNNNBNk.",
        ".kWBBBBBBBBBBNk.",
        ".kkBBBBBBBBBBkk.",
        "...kkNNNNNNkk...",
        ".....kkkkkk.....",
    ]),
    ("mail folder", overlay([BLANK] + FOLDER + [BLANK] * 2, ENVELOPE, 9, 5)),
    ("calendar", [
        "................",
        "....k..k..k..k..",
        "..kkGkkGkkGkkGk.",
        "..kBBBBBBBBBBBk.",
        "..kBBBBBBBBBBBk.",
        "..kNNNNNNNNNNNk.",
        "..kWWgWWgWWgWWk.",
        "..kWWgWWgWWgWWk.",
        "..kgggggggggggk.",
        "..kWWgWWgRRgWWk.",
        "..kWWgWWgRRgWWk.",
        "..kgggggggggggk.",
        "..kWWgWWgWWgWWk.",
        "..kWWgWWgWWgWWk.",
        "..kkkkkkkkkkkkk.",
        "................",
    ]),
    ("contacts", [
        "................",
        "................",
        ".kkkkkkkkkkkkkk.",
        "kbbbbbbbbbbbbbbk",
        "kWWWWWWWWWWWWWWk",
        "kWWnnnnWWWWWWWWk",
        "kWnSSSSnWGGGGGWk",
        "kWnSSSSnWWWWWWWk",
        "kWWSSSSWWGGGGGWk",
        "kWWWSSWWWWWWWWWk",
        "kWBBBBBBWGGGGWWk",
        "kBBBBBBBBWWWWWWk",
        "kBBBBBBBBWWWWWWk",
        ".kkkkkkkkkkkkkk.",
        "................",
        "................",
    ]),
    ("tasks", [
        "......kkkk......",
        ".....kGWWGk.....",
        ".kkkkGGGGGGkkkk.",
        ".knnkkkkkkkknnk.",
        ".knWWWWWWWWWWnk.",
        ".knWWWWWWWWWenk.",
        ".knWWWWWWWWeEnk.",
        ".knWWWWWWWeEWnk.",
        ".knWeWWWWeEWWnk.",
        ".knWEeWWeEWWWnk.",
        ".knWWEeeEWWWWnk.",
        ".knWWWEEWWWWWnk.",
        ".knWWWWWWWWWWnk.",
        ".knnnnnnnnnnnnk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ]),
    ("journal", [
        "................",
        "..kkkkkkkkkkkkk.",
        ".keEEEEEEEEEEEk.",
        ".keEEEEEEEEEEEk.",
        ".keEEWWWWWWWEEk.",
        ".keEEWGGGGGWEEk.",
        ".keEEWWWWWWWEEk.",
        ".keEEEEEEEEEEEk.",
        ".keEEEEEEEEEEEk.",
        ".keEEEEEEEEEEEk.",
        ".keEEEEEEEEEEEk.",
        ".keEEEEEEEEEEEk.",
        ".kekkkkkkkkkkkk.",
        ".keWgWgWgWgWgWk.",
        "..kkkkkkkkkkkkk.",
        "................",
    ]),
    ("note", [
        "................",
        ".oooooooooooooo.",
        ".oyyyyyyyyyyyyo.",
        ".oLLLLLLLLLLLLo.",
        ".oLYYYYYYYYYYYo.",
        ".oLYyyyyyyyyYYo.",
        ".oLYYYYYYYYYYYo.",
        ".oLYyyyyyyyyYYo.",
        ".oLYYYYYYYYYYYo.",
        ".oLYyyyyyyYYYYo.",
        ".oLYYYYYYYYYYYo.",
        ".oLYYYYYYYYoooo.",
        ".oLYYYYYYYYoyo..",
        ".oLYYYYYYYYoo...",
        ".ooooooooooo....",
        "................",
    ]),
    ("deleted items", [
        "................",
        "......kkkk......",
        ".kkkkkkkkkkkkkk.",
        "kWWWgggggggggGGk",
        ".kkkkkkkkkkkkkk.",
        "..kWgGgGgGgGGk..",
        "..kWgGgGgGgGGk..",
        "..kWgGgGgGgGGk..",
        "..kWgGgGgGgGGk..",
        "..kWgGgGgGgGGk..",
        "..kWgGgGgGgGGk..",
        "..kWgGgGgGgGGk..",
        "..kWgGgGgGgGGk..",
        "...kgGgGgGgGk...",
        "...kkkkkkkkkk...",
        "................",
    ]),
    ("outbox", [
        ".......kk.......",
        "......kEEk......",
        ".....kEEEEk.....",
        "....kEEEEEEk....",
        "...kkkkEEkkkk...",
        "......kEEk......",
        "......kEEk......",
        "......kEEk......",
        "kk....kEEk....kk",
        "kgk...kEEk...kgk",
        "kgkkkkkkkkkkkkgk",
        "kWWWWWWWWWWWWWGk",
        "kWggggggggggggGk",
        "kGGGGGGGGGGGGGGk",
        "kkkkkkkkkkkkkkkk",
        "................",
    ]),
    ("sent mail", [
        "................",
        "................",
        "kkkkkkkkkkkk....",
        "kGWWWWWWWWGk....",
        "kWGWWWWWWGWk....",
        "kWWGWWWWGWWk....",
        "kWWWGWWGWWWk....",
        "kWWWWGGWWWkk....",
        "kWWWWWWWWWkBk...",
        "kWWWWWkkkkkBBk..",
        "kkkkkkkBBBBBBBk.",
        "......kBBBBBBBBk",
        "......kkkkkkBBk.",
        "...........kBk..",
        "...........kk...",
        "................",
    ]),
    ("drafts", [
        ".kkkkkkkkkkkk...",
        ".kWWWWWWWWWWkkk.",
        ".kWGGGGGGGWWkrrk",
        ".kWWWWWWWWWkrrrk",
        ".kWGGGGGGGkPGrk.",
        ".kWWWWWWWkPOqk..",
        ".kWGGGGGkPOqk...",
        ".kWWWWWkPOqkk...",
        ".kWGGGkPOqkWk...",
        ".kWWWkPOqkWWk...",
        ".kWGkTTqkWWWk...",
        ".kWkkTTkWWWWk...",
        ".kWkDkkWWWWWk...",
        ".kWWkkWWWWWWk...",
        ".kkkkkkkkkkkk...",
        "................",
    ]),
    ("junk mail", [
        "................",
        "kkkkkkkkkkkkkk..",
        "kGWWWWWWWWWWGk..",
        "kWGWWWWWWWWGWk..",
        "kWWGWWWWWWGWWk..",
        "kWWWGWWWWGWWWk..",
        "kWWWWGGMMWWWWMM.",
        "kWWWWWMRRMWWMRRM",
        "kWWWWWMRRRMMRRRM",
        "kWWWWWWMRRRRRRM.",
        "kkkkkkkkMRRRRM..",
        "........MRRRRM..",
        ".......MRRRRRRM.",
        "......MRRRMMRRRM",
        "......MRRM..MRRM",
        ".......MM....MM.",
    ]),
    ("RSS feed", [
        "................",
        "..qqqqqqqqqqqq..",
        ".qPPPPPPPPPPPPq.",
        ".qPOOOOOOOOOOOq.",
        ".qPOWWWWOOOOOOq.",
        ".qPOOOOWWWOOOOq.",
        ".qPOOOOOOWWOOOq.",
        ".qPOWWWOOOWWOOq.",
        ".qPOOOWWWOOWOOq.",
        ".qPOOOOOWOOWWOq.",
        ".qPOWWOOWWOOWOq.",
        ".qPOWWOOOWOOWOq.",
        ".qPOOOOOOOOOOOq.",
        ".qOOOOOOOOOOOOq.",
        "..qqqqqqqqqqqq..",
        "................",
    ]),
    ("search folder", [
        "................",
        "................",
        ".ooooo..........",
        "oyyyyyo.........",
        "oyyyyyyoooooooo.",
        "oyyyyyyykkkkyyyo",
        "oooooookbbbWkooo",
        "oLLLLLkbbbbbWkLo",
        "oLYYYYkbbbbbbkYo",
        "oLYYYYkWbbbbbkYo",
        "oLYYYYkWWbbbbkYo",
        "oLYYYYYkWWbbkYYo",
        "oLYYYYYYkkkkDkYo",
        "oyyyyyyyyyyyykDk",
        "ooooooooooooookk",
        "................",
    ]),
]
# fmt: on

STRIP_WIDTH = SIZE * len(IMAGES)


def check_images():
    for index, (name, rows) in enumerate(IMAGES):
        if len(rows) != SIZE:
            sys.exit(f"image {index} ({name}): {len(rows)} rows, expected {SIZE}")
        for y, row in enumerate(rows):
            if len(row) != SIZE:
                sys.exit(f"image {index} ({name}) row {y}: {len(row)} columns, expected {SIZE}")
            for ch in row:
                if ch not in PALETTE:
                    sys.exit(f"image {index} ({name}) row {y}: unknown colour '{ch}'")
    if IMAGES[0][1][SIZE - 1][0] != '.':
        sys.exit("the bottom-left pixel of the strip must be background")


def bmp_bytes():
    row_size = (STRIP_WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray()
        for _, rows in IMAGES:
            for ch in rows[y]:
                r, g, b = PALETTE[ch]
                row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        pixels += row
    header_size = 14 + 40
    file_header = struct.pack('<2sIHHI', b'BM', header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack('<IiiHHIIiiII', 40, STRIP_WIDTH, SIZE, 1, 24, 0,
                              len(pixels), 2835, 2835, 0, 0)
    return file_header + info_header + bytes(pixels)


def main():
    check_images()
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'resources', 'FolderImages.bmp')
    with open(out, 'wb') as f:
        f.write(bmp_bytes())
    print(f"wrote {out} ({STRIP_WIDTH}x{SIZE}, {len(IMAGES)} images)")


if __name__ == '__main__':
    main()
