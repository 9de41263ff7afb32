#!/usr/bin/env python3
"""Writes small PNGs of every colour type and depth into seeds/png_fuzz, as a start for the fuzzer."""
import os, struct, zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds", "png_fuzz")

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

# Adam7 passes: (x start, y start, x step, y step).
PASSES = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]

def rows(w, h, channels, depth):
    row = (w * channels * depth + 7) // 8
    return b"".join(b"\x00" + bytes((x * 37 + y * 11) & 0xFF for x in range(row)) for y in range(h))

def png(w, h, depth, ctype, channels, interlace=0, extra=b""):
    if interlace:
        raw = b""
        for x0, y0, dx, dy in PASSES:
            pw, ph = (w - x0 + dx - 1) // dx, (h - y0 + dy - 1) // dy
            if pw > 0 and ph > 0:
                raw += rows(pw, ph, channels, depth)
    else:
        raw = rows(w, h, channels, depth)
    ihdr = struct.pack(">IIBBBBB", w, h, depth, ctype, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))

os.makedirs(OUT, exist_ok=True)
plte = chunk(b"PLTE", bytes(range(48)))
seeds = {
    "grey1": png(5, 3, 1, 0, 1), "grey4": png(5, 3, 4, 0, 1), "grey8": png(4, 4, 8, 0, 1),
    "grey16": png(3, 2, 16, 0, 1), "rgb8": png(4, 3, 8, 2, 3), "rgb16": png(2, 2, 16, 2, 3),
    "pal2": png(6, 2, 2, 3, 1, extra=plte), "pal8trns": png(3, 3, 4, 3, 1, extra=plte + chunk(b"tRNS", b"\x00\x80")),
    "ga8": png(3, 2, 8, 4, 2), "rgba8": png(3, 3, 8, 6, 4), "rgba16": png(2, 2, 16, 6, 4),
    "rgb8_adam7": png(9, 9, 8, 2, 3, interlace=1), "greytrns": png(4, 2, 8, 0, 1, extra=chunk(b"tRNS", b"\x00\x25")),
}
for name, data in seeds.items():
    with open(os.path.join(OUT, name + ".png"), "wb") as f:
        f.write(data)
