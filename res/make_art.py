#!/usr/bin/env python3
"""Draws the program's icon and its tray animation strip, 16-colour, with no
imaging library: the BMP and ICO bytes are written with struct.

Outputs, beside this script:
  QRTLIRMoni.ico  16x16 and 32x32, 4 bits per pixel: a TV set with a remote
                  control sending an infrared signal.
  irframes.bmp    160x16, 4 bits per pixel: ten 16x16 frames of a remote whose
                  signal waves grow frame by frame. Background pixels are
                  RGB(0,128,128), the colour the program loads as transparent.

Run it again after changing a drawing; the outputs are committed.
"""
import math
import os
import struct

# The standard 16-colour palette, as (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

TRANSPARENT = TEAL  # RGB(0,128,128): the animation's mask colour
CLEAR = -1          # icon pixels shown through (AND mask set)


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.set(x, y0, colour)
            self.set(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.set(x0, y, colour)
            self.set(x1, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.set(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)

    def arc(self, cx, cy, radius, start_deg, end_deg, colour):
        """Arc of a circle; angles in degrees, 0 pointing right, 90 pointing up."""
        steps = max(8, int(radius * 8))
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            self.set(round(cx + radius * math.cos(a)), round(cy - radius * math.sin(a)), colour)

    def blit(self, other, ox, oy):
        for y in range(other.height):
            for x in range(other.width):
                self.set(ox + x, oy + y, other.px[y][x])


def pack_4bpp_rows(canvas, colour_of):
    """Bottom-up rows of 4-bit indices, each padded to a multiple of 4 bytes."""
    rows = []
    stride = ((canvas.width * 4 + 31) // 32) * 4
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for x in range(0, canvas.width, 2):
            hi = colour_of(canvas.px[y][x])
            lo = colour_of(canvas.px[y][x + 1]) if x + 1 < canvas.width else 0
            row.append((hi << 4) | lo)
        row.extend(b"\0" * (stride - len(row)))
        rows.append(bytes(row))
    return b"".join(rows)


def pack_mask_rows(canvas):
    """Bottom-up 1-bit AND mask: 1 where the icon is see-through."""
    rows = []
    stride = ((canvas.width + 31) // 32) * 4
    for y in reversed(range(canvas.height)):
        bits = 0
        row = bytearray()
        for x in range(canvas.width):
            bits = (bits << 1) | (1 if canvas.px[y][x] == CLEAR else 0)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        row.extend(b"\0" * (stride - len(row)))
        rows.append(bytes(row))
    return b"".join(rows)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def dib_header(width, height, image_size):
    # BITMAPINFOHEADER, 4 bits per pixel, uncompressed, 16 palette entries.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 16)


def write_bmp(path, canvas):
    bits = pack_4bpp_rows(canvas, lambda c: c)
    header = dib_header(canvas.width, canvas.height, len(bits))
    pal = palette_bytes()
    offset = 14 + len(header) + len(pal)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + header + pal + bits)


def icon_image(canvas):
    xor = pack_4bpp_rows(canvas, lambda c: 0 if c == CLEAR else c)
    mask = pack_mask_rows(canvas)
    # An icon's DIB height counts the colour rows and the mask rows.
    header = dib_header(canvas.width, canvas.height * 2, len(xor) + len(mask))
    return header + palette_bytes() + xor + mask


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 16, 0, 1, 4,
                           len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as f:
        f.write(bytes(out))


# ---------------------------------------------------------------------------
# Drawings


def remote_small(fill):
    """A 5x9 remote control: dark body, red power key, white keys."""
    r = Canvas(5, 9, fill)
    r.rect(0, 0, 4, 8, BLACK)
    r.rect(1, 1, 3, 7, GRAY)
    r.set(2, 1, RED)  # power key
    for y in (3, 5):
        r.set(1, y, WHITE)
        r.set(3, y, WHITE)
    r.set(2, 7, SILVER)
    return r


def animation_frame(n):
    """Frame n of 10: the remote's LED lights and waves spread out, then fade."""
    c = Canvas(16, 16, TRANSPARENT)
    c.blit(remote_small(TRANSPARENT), 0, 7)
    led = (2, 6)
    # Frames 1..4 add a ring each, 5 holds all four, 6..8 let the inner ones go.
    rings = {0: [], 1: [1], 2: [1, 2], 3: [1, 2, 3], 4: [1, 2, 3, 4], 5: [1, 2, 3, 4],
             6: [2, 3, 4], 7: [3, 4], 8: [4], 9: []}[n]
    c.set(led[0], led[1], RED if 1 <= n <= 5 else MAROON)
    radius = {1: 3, 2: 5, 3: 7, 4: 9}
    colours = {1: YELLOW, 2: YELLOW, 3: RED, 4: MAROON}
    for ring in rings:
        c.arc(led[0], led[1], radius[ring], 0, 80, colours[ring])
    return c


def tv_icon_16():
    """The application icon at 16x16, drawn pixel by pixel rather than scaled."""
    c = Canvas(16, 16, CLEAR)
    c.line(4, 0, 6, 2, GRAY)        # antenna
    c.line(10, 0, 8, 2, GRAY)
    c.rect(0, 3, 13, 12, OLIVE)     # cabinet
    c.frame(0, 3, 13, 12, BLACK)
    c.rect(1, 4, 9, 11, NAVY)       # screen
    c.frame(1, 4, 9, 11, BLACK)
    c.rect(2, 5, 4, 6, AQUA)
    c.set(11, 5, SILVER)            # knobs
    c.set(11, 8, SILVER)
    c.set(2, 13, BLACK)             # stand
    c.set(11, 13, BLACK)
    c.rect(11, 9, 15, 15, BLACK)    # remote in front
    c.rect(12, 10, 14, 14, GRAY)
    c.set(13, 10, RED)
    c.set(12, 12, WHITE)
    c.set(14, 12, WHITE)
    c.set(8, 8, YELLOW)             # its signal on the screen
    c.set(7, 7, YELLOW)
    return c


def tv_icon_32():
    """The application icon at 32x32: a TV set with a remote sending a signal."""
    c = Canvas(32, 32, CLEAR)
    c.line(11, 7, 7, 1, GRAY)       # antenna
    c.line(17, 7, 22, 1, GRAY)
    c.rect(2, 7, 27, 25, OLIVE)     # cabinet
    c.frame(2, 7, 27, 25, BLACK)
    c.rect(4, 9, 21, 22, NAVY)      # screen
    c.frame(4, 9, 21, 22, BLACK)
    c.rect(6, 11, 10, 13, AQUA)
    c.rect(23, 10, 25, 12, SILVER)  # knobs
    c.rect(23, 15, 25, 17, SILVER)
    c.rect(5, 26, 8, 27, BLACK)     # stand
    c.rect(21, 26, 24, 27, BLACK)
    c.rect(24, 19, 30, 31, BLACK)   # remote in front
    c.rect(25, 20, 29, 30, GRAY)
    c.set(27, 21, RED)
    for y in (24, 27):
        c.set(26, y, WHITE)
        c.set(28, y, WHITE)
    c.arc(24, 17, 3, 100, 170, YELLOW)  # its signal towards the screen
    c.arc(24, 17, 6, 100, 170, RED)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    strip = Canvas(160, 16, TRANSPARENT)
    for n in range(10):
        strip.blit(animation_frame(n), 16 * n, 0)
    write_bmp(os.path.join(here, "irframes.bmp"), strip)
    write_ico(os.path.join(here, "QRTLIRMoni.ico"), [tv_icon_16(), tv_icon_32()])


if __name__ == "__main__":
    main()
