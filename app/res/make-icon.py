#!/usr/bin/env python3
"""Draws the console's icon (TesselTest.ico): a tile of blue triangles with a
white T on it, at 16, 32 and 48 pixels, 32-bit with alpha."""
import struct
import sys


def pixel(x, y, n):
    """Colour (r, g, b, a) of pixel x, y (y downwards) of an n x n icon."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    # Rounded corners: transparent outside a corner radius of n/6.
    r = 1 / 6
    cx = min(max(u, r), 1 - r)
    cy = min(max(v, r), 1 - r)
    if (u - cx) ** 2 + (v - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # The T: a bar over the upper part and a stem down the middle.
    if (0.18 <= u <= 0.82 and 0.18 <= v <= 0.34) or (0.42 <= u <= 0.58 and 0.18 <= v <= 0.84):
        return (255, 255, 255, 255)
    # Tessellated background: a grid of squares, each cut into two triangles
    # of two shades.
    k = 4
    gx, gy = u * k, v * k
    fx, fy = gx - int(gx), gy - int(gy)
    upper = fx + fy < 1 if (int(gx) + int(gy)) % 2 == 0 else fx < fy
    return (32, 84, 170, 255) if upper else (58, 122, 214, 255)


def image(n):
    rows = []
    for y in reversed(range(n)):  # bitmaps are stored bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for (r, g, b, a) in (pixel(x, y, n) for x in range(n))))
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "TesselTest.ico")
