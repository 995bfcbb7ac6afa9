#!/usr/bin/env python3
"""Draws the setup's icon (a film frame with a down arrow: 'install video')
and writes it as a Windows .ico with 16x16 and 32x32 images, 32-bit colour."""
import struct
import sys


def pixel(x, y, size):
    s = size / 32.0
    X, Y = x / s, y / s
    # film strip: dark frame with sprocket holes on both sides
    if 3 <= X < 29 and 4 <= Y < 28:
        if (3 <= X < 7 or 25 <= X < 29) and int(Y) % 4 in (1, 2) and 6 <= Y < 26:
            return (235, 235, 235, 255)
        if 7 <= X < 25 and 6 <= Y < 26:
            # arrow pointing down, in orange, on a blue picture
            cx = 16
            if 12 <= X < 20 and 8 <= Y < 16:
                return (255, 140, 20, 255)
            if 16 <= Y < 23 and abs(X - cx) <= (23 - Y):
                return (255, 140, 20, 255)
            return (40, 90, 200, 255)
        return (30, 30, 40, 255)
    return (0, 0, 0, 0)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        row = b''
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b''.join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = b'\0' * (mask_row * size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def main(path):
    sizes = (16, 32)
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
