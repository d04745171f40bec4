#!/usr/bin/env python3
"""make_corpus.py - writes the fuzzer's seed corpus, fuzz/corpus/.

    fuzz/make_corpus.py BUILD/tex      (the generated artwork, for the crops)

Each file is named RGB.ALPHA-WHAT.bmp: RGB and ALPHA are the verdicts the
loader must reach loading it as a GL_RGB and as a GL_ALPHA texture (the
names of bmp_fault_name in src/tool/bmp_format.h); tests/bmp_corpus_test.cpp checks
them. The files cover the faults BMP loaders are known for: size products
that overflow 32 bits, bit counts of 0, 1, 4, 16 and 32, files shorter than
their headers claim, offsets past the end, negative and zero sizes, huge
widths with tiny heights, compressed modes and truncated headers; plus small
crops of the show's own artwork. The corpus is committed; run this again
only to change it."""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "corpus")


def bmp(width, height, bits, pixels=b"", compression=0, off=None, palette=0, info_size=40,
        magic=b"BM"):
    if off is None:
        off = 14 + info_size + 4 * palette
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, bits, compression,
                       len(pixels), 2835, 2835, palette, 0)
    info += bytes(info_size - 40)
    pal = b"".join(struct.pack("<I", 0x00FFFFFF - i) for i in range(palette))
    head = magic + struct.pack("<IHHI", 14 + len(info) + len(pal) + len(pixels), 0, 0, off)
    return head + info + pal + pixels


def ramp(n):
    return bytes((i * 37 + 11) & 0xFF for i in range(n))


def write(name, data):
    with open(os.path.join(out, name + ".bmp"), "wb") as f:
        f.write(data)


def crop(path, x0, y0, w, h, step):
    """A w x h piece of a bottom-up BMP, every step-th pixel from (x0, y0)."""
    data = open(path, "rb").read()
    off, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    bpp = bits // 8
    pal = data[54:off] if bits == 8 else b""
    px = bytearray()
    for r in range(h):
        for c in range(w):
            i = off + ((y0 + r * step) * width + x0 + c * step) * bpp
            px += data[i:i + bpp]
    return bmp(w, h, bits, bytes(px), palette=len(pal) // 4)


def main():
    os.makedirs(out, exist_ok=True)
    for f in os.listdir(out):
        os.remove(os.path.join(out, f))

    # Well-formed files.
    write("ok.ok-rgb24-4x4", bmp(4, 4, 24, ramp(48)))
    write("too_few_bits.ok-grey8-8x4-palette", bmp(8, 4, 8, ramp(32), palette=256))
    write("ok.ok-rgb32-4x2", bmp(4, 2, 32, ramp(32)))
    write("ok.ok-rgb24-4x1-v5-header", bmp(4, 1, 24, ramp(12), info_size=124))
    write("ok.ok-offset-zero-reads-the-headers", bmp(4, 4, 24, ramp(48), off=0))
    write("ok.ok-offset-inside-info-header", bmp(4, 1, 24, ramp(12), off=20))
    write("ok.ok-trailing-bytes", bmp(4, 2, 24, ramp(24) + bytes(100)))

    # Bit counts the show never uses.
    for bits in (0, 1, 4):
        write("too_few_bits.too_few_bits-bits%d" % bits, bmp(32, 4, bits, ramp(64)))
    write("too_few_bits.ok-bits16-4x4", bmp(4, 4, 16, ramp(32)))
    write("too_few_bits.ok-bits15-4x4", bmp(4, 4, 15, ramp(16)))
    write("too_few_bits.too_few_bits-bits7", bmp(4, 4, 7, ramp(16)))
    write("short.short-bits65535-4x1", bmp(4, 1, 65535, ramp(64)))
    # A 32-bit caption sheet goes to GL as colour with alpha: four bytes a texel.
    write("row_unaligned.ok-bits32-3x2", bmp(3, 2, 32, ramp(24)))

    # Rows that are not a multiple of 4 bytes.
    write("row_unaligned.row_unaligned-rgb24-1x1", bmp(1, 1, 24, ramp(4)))
    write("row_unaligned.row_unaligned-rgb24-5x3", bmp(5, 3, 24, ramp(48)))
    write("too_few_bits.row_unaligned-grey8-3x3", bmp(3, 3, 8, ramp(12), palette=2))
    write("row_unaligned.row_unaligned-rgb24-2x2-padded-rows", bmp(2, 2, 24, ramp(16)))

    # Sizes whose products overflow 32 bits, or wrap round to something small.
    write("too_large.too_large-65536x65536", bmp(65536, 65536, 24, ramp(16)))
    write("too_large.too_large-wraps-to-small", bmp(0x55555556, 3, 24, ramp(16)))
    write("too_large.too_large-wraps-to-zero", bmp(0x40000000, 4, 32, ramp(16)))
    write("too_large.too_large-max-by-max", bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, ramp(16)))
    write("too_large.too_large-just-over-2GiB", bmp(0x8000, 0x5556, 24, ramp(16)))
    write("over_limit.over_limit-just-under-2GiB", bmp(0x4000, 0x8000, 24, ramp(16)))

    # Huge widths with tiny heights, and the other way round.
    write("too_large.too_large-width-max-height-1", bmp(0x7FFFFFFF, 1, 24, ramp(16)))
    write("over_limit.over_limit-width-2^29-height-1", bmp(0x20000000, 1, 24, ramp(16)))
    write("too_few_bits.over_limit-grey8-width-2^29", bmp(0x20000000, 1, 8, ramp(16)))
    write("over_limit.over_limit-width-4-height-2^27", bmp(4, 0x8000000, 24, ramp(16)))
    # wider than GL takes, though small in bytes: a card GL would draw white
    write("over_limit.over_limit-card-32768x4", bmp(0x8000, 4, 24, ramp(16)))
    # the largest texture, its pixels claimed past the end of a short file
    write("short.short-16384-square-offset-past-end", bmp(0x4000, 0x4000, 24, ramp(16), off=0x100000))

    # Negative and zero sizes.
    write("negative_width.negative_width-minus4", bmp(-4, 4, 24, ramp(48)))
    write("negative_height.negative_height-top-down", bmp(4, -4, 24, ramp(48)))
    write("negative_width.negative_width-int-min", bmp(-0x80000000, 1, 24, ramp(12)))
    write("negative_height.negative_height-int-min", bmp(4, -0x80000000, 24, ramp(12)))
    write("negative_width.negative_width-both", bmp(-4, -4, 24, ramp(48)))
    write("empty.empty-zero-width", bmp(0, 4, 24, ramp(48)))
    write("empty.empty-zero-height", bmp(4, 0, 24, ramp(48)))

    # Files shorter than their headers claim; offsets past the end.
    write("short.short-one-byte-short", bmp(4, 4, 24, ramp(47)))
    write("short.short-headers-only", bmp(4, 4, 24))
    write("short.short-offset-past-end", bmp(4, 4, 24, ramp(48), off=0xFFFFFFFF))
    write("short.short-offset-at-end", bmp(4, 1, 24, ramp(12), off=54 + 12))
    write("short.short-offset-2^31", bmp(4, 1, 24, ramp(12), off=0x80000000))
    write("short.short-offset-one-too-far", bmp(4, 1, 24, ramp(12), off=55))

    # Compressed modes: RLE8, RLE4, bit fields, JPEG, PNG, alpha bit fields.
    for mode in (1, 2, 3, 4, 5, 6, 0x80000000):
        write("compressed.compressed-mode-%x" % mode, bmp(4, 4, 8, ramp(48), compression=mode))

    # Truncated or foreign headers.
    full = bmp(4, 4, 24, ramp(48))
    write("bmfh.bmfh-empty", b"")
    write("bmfh.bmfh-13-bytes", full[:13])
    write("bmih.bmih-14-bytes", full[:14])
    write("bmih.bmih-53-bytes", full[:53])
    write("not_bmp.not_bmp-png-signature", b"\x89PNG\r\n\x1a\n" + full[8:])
    write("not_bmp.not_bmp-BA-array", bmp(4, 4, 24, ramp(48), magic=b"BA"))
    write("not_bmp.not_bmp-lower-case-bm", bmp(4, 4, 24, ramp(48), magic=b"bm"))
    write("not_bmp.not_bmp-short-garbage", b"MB" + bytes(20))

    # Small crops of the show's artwork (a number card, the caption sheets).
    if len(sys.argv) > 1:
        tex = sys.argv[1]
        write("ok.ok-card5-crop-16x8", crop(os.path.join(tex, "5.bmp"), 200, 200, 16, 8, 16))
        write("ok.ok-photo-crop-20x10", crop(os.path.join(tex, "photo.bmp"), 0, 0, 20, 10, 48))
        write("too_few_bits.ok-string-crop-32x8",
              crop(os.path.join(tex, "string.bmp"), 0, 960, 32, 8, 8))
        write("too_few_bits.ok-string2-crop-64x16",
              crop(os.path.join(tex, "string2.bmp"), 0, 900, 64, 16, 8))


main()
