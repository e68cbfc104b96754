#!/usr/bin/env python3
"""Draws chromaweave's two icons and writes them as .ico files.

Icon 1 (the program): a woven tile of coloured warp and weft bands, each band
passing over and under the crossing ones, on a rounded dark frame.
Icon 2 (paused): the same weave faded to gray with a pause sign on top.
Icon 3 (held: timed changes wait while the user is busy): the weave dimmed
with an hourglass on top.
Each file holds 16x16, 32x32 and 48x48 images as 32-bit BMP entries with
their AND masks. Usage: make_icons.py OUTPUT_FOLDER
"""
import os
import struct
import sys

WARP = [(230, 60, 70), (250, 190, 40), (60, 170, 90), (50, 120, 220)]
WEFT = [(160, 70, 200), (40, 190, 200), (240, 120, 40), (220, 70, 150)]


def gray(c):
    v = (c[0] * 30 + c[1] * 59 + c[2] * 11) // 100
    return (v + 255) // 2, (v + 255) // 2, (v + 255) // 2


def weave_pixel(x, y, size):
    """Colour of the weave at pixel (x, y) of a size x size icon, or None."""
    margin = max(1, size // 16)
    inner = size - 2 * margin
    if not (margin <= x < size - margin and margin <= y < size - margin):
        return None
    u, v = x - margin, y - margin
    # Rounded corners: drop the pixels outside a quarter circle.
    r = max(2, size // 8)
    for cx, cy in ((r, r), (inner - 1 - r, r), (r, inner - 1 - r), (inner - 1 - r, inner - 1 - r)):
        if (u < r and cx == r or u > inner - 1 - r and cx != r) and \
           (v < r and cy == r or v > inner - 1 - r and cy != r):
            if (u - cx) ** 2 + (v - cy) ** 2 > r * r:
                return None
    border = max(1, size // 16)
    if u < border or v < border or u >= inner - border or v >= inner - border:
        return (40, 36, 60)
    band = max(2, (inner - 2 * border) // 4)
    i, j = (u - border) // band, (v - border) // band
    col, row = min(i, 3), min(j, 3)
    gap = (u - border) % band == band - 1 or (v - border) % band == band - 1
    if gap and size >= 32:
        return (40, 36, 60)
    # Warp (vertical band) on top where column and row parity agree.
    if (col + row) % 2 == 0:
        c = WARP[col]
        shade = 1.0 if (v - border) % band < band // 2 else 0.85
    else:
        c = WEFT[row]
        shade = 1.0 if (u - border) % band < band // 2 else 0.85
    return tuple(int(k * shade) for k in c)


def program_pixel(x, y, size):
    c = weave_pixel(x, y, size)
    return None if c is None else c + (255,)


def paused_pixel(x, y, size):
    c = weave_pixel(x, y, size)
    # Pause sign: two dark bars in the middle, outlined in white.
    bw = max(2, size // 6)
    top, bottom = size // 4, size - size // 4
    left1 = size // 2 - bw - max(1, size // 16)
    left2 = size // 2 + max(1, size // 16)
    for left in (left1, left2):
        if left <= x < left + bw and top <= y < bottom:
            return (30, 30, 40, 255)
        if left - 1 <= x < left + bw + 1 and top - 1 <= y < bottom + 1:
            return (255, 255, 255, 255)
    return None if c is None else gray(c) + (255,)


def in_hourglass(x, y, size):
    """0 outside the hourglass, 1 on its white outline, 2 inside it."""
    top, bottom = size // 5, size - size // 5
    half = max(3, size // 4)
    mid2 = top + bottom - 1  # twice the middle row
    def inside(px, py):
        if not top <= py < bottom:
            return False
        # Two triangles meeting in the middle; bars close them at both ends.
        w = max(1, half * abs(2 * py - mid2) // (bottom - top))
        return size // 2 - w <= px < size // 2 + w or py in (top, bottom - 1) and \
            size // 2 - half <= px < size // 2 + half
    if inside(x, y):
        return 2
    if any(inside(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
        return 1
    return 0


def held_pixel(x, y, size):
    c = weave_pixel(x, y, size)
    h = in_hourglass(x, y, size)
    if h == 2:
        return (30, 30, 40, 255)
    if h == 1:
        return (255, 255, 255, 255)
    return None if c is None else tuple(k * 3 // 5 for k in c) + (255,)


def bmp_entry(pixel, size):
    """BITMAPINFOHEADER (height doubled), BGRA rows bottom up, AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows, mask = b'', b''
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(size):
            p = pixel(x, y, size)
            if p is None:
                rows += b'\0\0\0\0'
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                rows += bytes((p[2], p[1], p[0], p[3]))
        mask += bytes(bits)
    return header + rows + mask


def write_ico(path, pixel, sizes=(16, 32, 48)):
    images = [bmp_entry(pixel, s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'app', 'resources')
    write_ico(os.path.join(folder, 'chromaweave.ico'), program_pixel)
    write_ico(os.path.join(folder, 'paused.ico'), paused_pixel)
    write_ico(os.path.join(folder, 'held.ico'), held_pixel)


if __name__ == '__main__':
    main()
