#!/usr/bin/env python3
"""Writes the placeholder players of the application folder.

Each player is an uncompressed SWF movie (version 7, one frame) whose stage has the player's
size and shows a drawing of it: a button body with a play triangle, or a jukebox body with a
control bar and playlist rows. The movies do not play audio.

Usage: make_players.py [OUTDIR]    (default: the folder of this script)
Writes OUTDIR/buttonplayers/*.swf and OUTDIR/jukeboxplayers/*.swf. The output depends on
nothing but this script, so a second run gives the same bytes.

Size rules the names must follow (the generators read sizes from the names):
- button player: characters 6 to 11 give the size code: "type04" 75x25, "type07" 125x22,
  "type08" 222x25, anything else 68x22;
- jukebox player: characters 5 to 10 are the width and the height, three digits each;
- a name ending with "leon" is a colourable player.
"""

import os
import struct
import sys
import tempfile

TWIPS = 20  # twips per pixel
SWF_VERSION = 7
FRAME_RATE = 12  # frames per second

BUTTON_SIZES = {"type04": (75, 25), "type07": (125, 22), "type08": (222, 25)}
BUTTON_DEFAULT_SIZE = (68, 22)

# Looks: body colour, outline colour, icon colour, roundness in percent (50 makes a button a pill).
LOOKS = {
    "chameleon": (0xFFCC00, 0x996600, 0x333333, 30),
    "classic": (0x333333, 0x000000, 0xFFFFFF, 30),
    "glass": (0x6699CC, 0x336699, 0xFFFFFF, 45),
    "slim": (0x222222, 0x666666, 0x99CC33, 0),
    "round": (0x993333, 0x661111, 0xFFFFFF, 50),
    "compact": (0x555555, 0x222222, 0xFFCC00, 10),
}
JUKEBOX_CORNER = 8 * 20  # corner radius in twips at roundness 50

BUTTON_PLAYERS = [
    ("tmbr_type04_chameleon", "chameleon"),
    ("tmbr_type04_classic", "classic"),
    ("tmbr_type07_chameleon", "chameleon"),
    ("tmbr_type07_glass", "glass"),
    ("tmbr_type08_slim", "slim"),
    ("roundplay", "round"),
]

JUKEBOX_PLAYERS = [
    ("jbx_250320_compact", "compact"),
    ("jbx_300200_classic", "classic"),
    ("jbx_400300_chameleon", "chameleon"),
]

BACKGROUND = 0xFFFFFF
PLAYLIST_ROW = 0xEEEEEE


def button_size(name):
    return BUTTON_SIZES.get(name[5:11], BUTTON_DEFAULT_SIZE) if len(name) >= 11 else BUTTON_DEFAULT_SIZE


def jukebox_size(name):
    digits = name[4:10]
    if len(digits) != 6 or not digits.isdigit():
        raise ValueError(f"jukebox player name {name!r} carries no size")
    return int(digits[:3]), int(digits[3:])


class BitWriter:
    """Packs bit fields most significant bit first, as SWF records are packed."""

    def __init__(self):
        self.data = bytearray()
        self.acc = 0
        self.count = 0

    def ub(self, value, nbits):
        if value < 0 or value >= 1 << nbits:
            raise ValueError(f"{value} does not fit {nbits} unsigned bits")
        for i in range(nbits - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.count += 1
            if self.count == 8:
                self.data.append(self.acc)
                self.acc = 0
                self.count = 0

    def sb(self, value, nbits):
        if not -(1 << (nbits - 1)) <= value < 1 << (nbits - 1):
            raise ValueError(f"{value} does not fit {nbits} signed bits")
        self.ub(value & ((1 << nbits) - 1), nbits)

    def align(self):
        if self.count:
            self.ub(0, 8 - self.count)

    def raw(self, data):
        self.align()
        self.data += data

    def bytes(self):
        self.align()
        return bytes(self.data)


def signed_bits(*values):
    """Smallest field width that holds every value as a signed bit field."""
    return max(max(v, -v - 1).bit_length() + 1 for v in values)


def rect(xmin, xmax, ymin, ymax):
    w = BitWriter()
    nbits = signed_bits(xmin, xmax, ymin, ymax)
    w.ub(nbits, 5)
    for v in (xmin, xmax, ymin, ymax):
        w.sb(v, nbits)
    return w.bytes()


def rgb(colour):
    return bytes(((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF))


def tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


class Path:
    """A closed outline in twips: a start point and edges, each a line or a quadratic curve."""

    def __init__(self, x, y, fill_outside, fill_inside, line):
        self.start = (x, y)
        self.fills = (fill_outside, fill_inside)
        self.line = line
        self.edges = []  # ("line", dx, dy) or ("curve", cdx, cdy, adx, ady)

    def line_to(self, dx, dy):
        if dx or dy:
            self.edges.append(("line", dx, dy))

    def curve_to(self, cdx, cdy, adx, ady):
        self.edges.append(("curve", cdx, cdy, adx, ady))


def rounded_rect(x, y, w, h, r, fill_outside, fill_inside, line=0):
    """Clockwise on screen (y grows downwards), so the inside is on the right of each edge.
    r is the corner radius, at most half the shorter side."""
    p = Path(x + r, y, fill_outside, fill_inside, line)
    p.line_to(w - 2 * r, 0)
    if r:
        p.curve_to(r, 0, 0, r)
    p.line_to(0, h - 2 * r)
    if r:
        p.curve_to(0, r, -r, 0)
    p.line_to(-(w - 2 * r), 0)
    if r:
        p.curve_to(-r, 0, 0, -r)
    p.line_to(0, -(h - 2 * r))
    if r:
        p.curve_to(0, -r, r, 0)
    return p


def play_triangle(x, y, size, fill_outside, fill_inside):
    """Triangle pointing right in the square (x, y, size); clockwise on screen."""
    p = Path(x, y, fill_outside, fill_inside, 0)
    p.line_to(size, size // 2)
    p.line_to(-size, size - size // 2)
    p.line_to(0, -size)
    return p


def shape_records(paths, fill_bits, line_bits):
    w = BitWriter()
    for p in paths:
        x, y = p.start
        # Style change: no new styles, line style, fill style 1, fill style 0, move to.
        w.ub(0, 1)
        w.ub(0, 1)
        w.ub(1, 1)
        w.ub(1, 1)
        w.ub(1, 1)
        w.ub(1, 1)
        move_bits = signed_bits(x, y)
        w.ub(move_bits, 5)
        w.sb(x, move_bits)
        w.sb(y, move_bits)
        w.ub(p.fills[0], fill_bits)
        w.ub(p.fills[1], fill_bits)
        w.ub(p.line, line_bits)
        for edge in p.edges:
            deltas = edge[1:]
            nbits = max(2, signed_bits(*deltas))
            w.ub(1, 1)  # edge record
            if edge[0] == "curve":
                w.ub(0, 1)
                w.ub(nbits - 2, 4)
                for d in deltas:
                    w.sb(d, nbits)
                continue
            dx, dy = deltas
            w.ub(1, 1)
            w.ub(nbits - 2, 4)
            if dx and dy:
                w.ub(1, 1)  # general line
                w.sb(dx, nbits)
                w.sb(dy, nbits)
            elif dy:
                w.ub(0, 1)
                w.ub(1, 1)  # vertical
                w.sb(dy, nbits)
            else:
                w.ub(0, 1)
                w.ub(0, 1)  # horizontal
                w.sb(dx, nbits)
    w.ub(0, 6)  # end of shape
    return w.bytes()


def define_shape(shape_id, width, height, fills, lines, paths):
    """fills: solid colours (style 1..n); lines: (width in twips, colour) (style 1..n)."""
    body = bytearray(struct.pack("<H", shape_id))
    body += rect(0, width, 0, height)
    body.append(len(fills))
    for colour in fills:
        body.append(0x00)  # solid fill
        body += rgb(colour)
    body.append(len(lines))
    for line_width, colour in lines:
        body += struct.pack("<H", line_width) + rgb(colour)
    fill_bits = len(fills).bit_length()
    line_bits = len(lines).bit_length()
    body.append(fill_bits << 4 | line_bits)
    body += shape_records(paths, fill_bits, line_bits)
    return tag(2, bytes(body))


def place_object(shape_id, depth):
    # Flags: has character, has matrix; the matrix byte is the identity (no scale, rotate, move).
    return tag(26, struct.pack("<BHH", 0x06, depth, shape_id) + b"\x00")


def movie(width_px, height_px, shape_tag):
    width, height = width_px * TWIPS, height_px * TWIPS
    tags = tag(9, rgb(BACKGROUND)) + shape_tag + place_object(1, 1) + tag(1) + tag(0)
    after_length = rect(0, width, 0, height) + struct.pack("<HH", FRAME_RATE << 8, 1) + tags
    return b"FWS" + struct.pack("<BI", SWF_VERSION, 8 + len(after_length)) + after_length


def button_movie(name, look):
    w, h = button_size(name)
    body_colour, outline, icon, roundness = LOOKS[look]
    width, height = w * TWIPS, h * TWIPS
    inset = TWIPS // 2  # half the outline width keeps the outline on the stage
    bw, bh = width - 2 * inset, height - 2 * inset
    radius = min(bh * roundness // 100, bh // 2)
    paths = [rounded_rect(inset, inset, bw, bh, radius, 0, 1, 1)]
    icon_size = height // 2
    pad = height // 2
    track_x = pad + icon_size + icon_size // 2
    track_width = width - pad - track_x
    if track_width >= 2 * height:  # wide players show the play triangle left of a progress track
        paths.append(play_triangle(pad, (height - icon_size) // 2, icon_size, 1, 2))
        paths.append(rounded_rect(track_x, height // 2 - TWIPS, track_width, 2 * TWIPS, 0, 1, 3))
    else:
        paths.append(play_triangle((width - icon_size) // 2, (height - icon_size) // 2, icon_size, 1, 2))
    fills = [body_colour, icon, outline]
    return movie(w, h, define_shape(1, width, height, fills, [(TWIPS, outline)], paths))


def jukebox_movie(name, look):
    w, h = jukebox_size(name)
    body_colour, outline, icon, roundness = LOOKS[look]
    width, height = w * TWIPS, h * TWIPS
    inset = TWIPS
    bw, bh = width - 2 * inset, height - 2 * inset
    radius = JUKEBOX_CORNER * roundness // 50
    paths = [rounded_rect(inset, inset, bw, bh, radius, 0, 1, 1)]
    margin = 8 * TWIPS
    bar = 24 * TWIPS
    paths.append(play_triangle(2 * margin, margin + 4 * TWIPS, bar - 8 * TWIPS, 1, 2))
    # The control bar's display field beside the play triangle.
    display_x = 2 * margin + bar + margin
    paths.append(rounded_rect(display_x, margin, width - display_x - 2 * margin, bar, 0, 1, 3))
    row, gap = 18 * TWIPS, 4 * TWIPS
    y = margin + bar + margin
    while y + row + margin <= height - inset:
        paths.append(rounded_rect(2 * margin, y, width - 4 * margin, row, 0, 1, 3))
        y += row + gap
    fills = [body_colour, icon, PLAYLIST_ROW]
    return movie(w, h, define_shape(1, width, height, fills, [(2 * TWIPS, outline)], paths))


def write_atomically(path, data):
    fd, tmp = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".tmp-")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        os.chmod(tmp, 0o644)
        os.replace(tmp, path)
    except BaseException:
        os.unlink(tmp)
        raise


def main(argv):
    if len(argv) > 2:
        print("usage: make_players.py [OUTDIR]", file=sys.stderr)
        return 2
    out = argv[1] if len(argv) == 2 else os.path.dirname(os.path.abspath(__file__))
    for folder, players, make in (
        ("buttonplayers", BUTTON_PLAYERS, button_movie),
        ("jukeboxplayers", JUKEBOX_PLAYERS, jukebox_movie),
    ):
        os.makedirs(os.path.join(out, folder), exist_ok=True)
        for name, look in players:
            write_atomically(os.path.join(out, folder, name + ".swf"), make(name, look))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
