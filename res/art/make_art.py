#!/usr/bin/env python3
"""Draws the program's artwork and writes it next to the resource script.

    res/art/make_art.py            # rewrites res/app.ico, res/about.ico, res/panel.bmp

The pictures are drawn by ImageMagick (`convert`, installed by scripts/setup) at a large size with
the fonts Debian ships; this script scales them down and writes the icon and bitmap formats itself,
so every image has exactly the size and colour depth the resources need:
  app.ico, about.ico  16, 32 and 48 pixels, each at 4 bpp (VGA palette), 8 bpp and 32 bpp (alpha);
                      20, 24, 40 and 64 pixels at 32 bpp, the sizes Windows asks for at 125%, 150%
                      and 200% display scale (small icons 20, 24, 32; large 40, 48, 64)
  panel.bmp           102 x 122 pixels, 8 bpp, bottom-up: the picture at 100%
  panel-200.bmp       204 x 244 pixels, the same picture at 200%, which the program scales down
                      smoothly for the scales between
The output depends only on the drawing commands below and the ImageMagick and font versions, so
running it again gives the same files; the generated files are committed so builds need neither.
"""

import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
CJK_SERIF = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"


def convert_rgba(args, width, height):
    """Runs convert with the drawing `args` and returns the picture as RGBA bytes of width x height."""
    out = subprocess.run(["convert", *args, "-resize", f"{width}x{height}!", "-depth", "8", "RGBA:-"],
                         check=True, stdout=subprocess.PIPE).stdout
    assert len(out) == width * height * 4, (len(out), width, height)
    return out


def tile(badge):
    """A rounded blue tile with a serif K; `badge` adds the red removal mark."""
    art = ["-size", "256x256", "xc:none",
           "-fill", "#00000040", "-draw", "roundrectangle 16,20 247,251 40,40",
           "-fill", "#1a4a9c", "-draw", "roundrectangle 12,12 243,243 40,40",
           "(", "-size", "224x224", "gradient:#5b9be8-#10307a", ")",
           "-geometry", "+16+16", "-compose", "SrcAtop", "-composite", "-compose", "Over",
           "-fill", "#ffffff30", "-draw", "roundrectangle 16,16 239,120 36,36",
           "-font", SERIF_BOLD, "-pointsize", "190", "-fill", "white", "-stroke", "#0b2a66",
           "-strokewidth", "4", "-gravity", "center", "-annotate", "+0+4", "K",
           "-stroke", "none", "-gravity", "northwest"]
    if badge:
        art += ["-fill", "#00000050", "-draw", "circle 188,192 188,250",
                "-fill", "#d8262c", "-stroke", "white", "-strokewidth", "10",
                "-draw", "circle 184,186 184,244",
                "-stroke", "none", "-fill", "white", "-draw", "roundrectangle 150,176 218,196 6,6"]
    return art


def about_tile():
    """The About box's icon: a white type specimen page with a Japanese glyph and a K tab."""
    return ["-size", "256x256", "xc:none",
            "-fill", "#00000038", "-draw", "roundrectangle 36,20 236,252 18,18",
            "-fill", "white", "-stroke", "#5a6a80", "-strokewidth", "6",
            "-draw", "roundrectangle 28,10 226,242 18,18", "-stroke", "none",
            "-fill", "#dfe8f5", "-draw", "rectangle 31,150 223,153",
            "-font", CJK_SERIF, "-pointsize", "150", "-fill", "#0b2a66", "-gravity", "center",
            "-annotate", "+0-28", "\u5b57",
            "-font", SERIF_BOLD, "-pointsize", "54", "-fill", "#3d7fd6",
            "-annotate", "+0+88", "Aa",
            "-gravity", "northwest"]


def panel():
    """The picture beside the main screen's text: a type specimen on a deep blue panel."""
    return ["-size", "408x488", "gradient:#1f5fb8-#06183f",
            "-fill", "#ffffff14", "-draw", "circle 330,80 330,300",
            "-stroke", "#ffffff30", "-strokewidth", "2",
            "-draw", "line 24,250 384,250", "-draw", "line 24,110 384,110",
            "-stroke", "none",
            "-font", CJK_SERIF, "-pointsize", "210", "-fill", "white", "-gravity", "center",
            "-annotate", "+0-62", "\u3042",
            "-font", SERIF_BOLD, "-pointsize", "84", "-fill", "#9cc4f5",
            "-annotate", "+0+96", "Aa",
            "-font", SANS_BOLD, "-pointsize", "30", "-fill", "#ffffffc0",
            "-annotate", "+0+196", "KESTREL CHARTER",
            "-gravity", "northwest"]


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
         (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def nearest(palette, rgb, cache):
    if rgb not in cache:
        cache[rgb] = min(range(len(palette)), key=lambda i: sum((a - b) ** 2
                                                                for a, b in zip(palette[i], rgb)))
    return cache[rgb]


def over_white(r, g, b, a):
    """Colour of a pixel composed over a light background, for palette images."""
    return tuple((c * a + 255 * (255 - a)) // 255 for c in (r, g, b))


def rows_bottom_up(data, width, height):
    for y in range(height - 1, -1, -1):
        yield data[y * width * 4:(y + 1) * width * 4]


def pad4(b):
    return b + b"\0" * (-len(b) % 4)


def and_mask(rgba, width, height):
    out = b""
    for row in rows_bottom_up(rgba, width, height):
        bits = 0
        line = bytearray()
        for x in range(width):
            bits = (bits << 1) | (1 if row[x * 4 + 3] < 128 else 0)
            if x % 8 == 7:
                line.append(bits)
                bits = 0
        if width % 8:
            line.append(bits << (8 - width % 8))
        out += pad4(bytes(line))
    return out


def icon_image(rgba, size, bpp):
    """One icon image: BITMAPINFOHEADER (double height), palette, colour bits, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    if bpp == 32:
        pixels = b"".join(bytes(b for x in range(size) for b in (row[x*4+2], row[x*4+1], row[x*4], row[x*4+3]))
                          for row in rows_bottom_up(rgba, size, size))
        return header + pixels + and_mask(rgba, size, size)
    # 4 bpp: the VGA colours; 8 bpp: the colours already quantised to at most 256 (over white).
    palette = VGA16 if bpp == 4 else sorted(set(tuple(rgba[i:i + 3]) for i in range(0, len(rgba), 4)))
    assert len(palette) <= 256, len(palette)
    cache = {}
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    pal += b"\0" * (4 * (1 << bpp) - len(pal))
    pixels = b""
    for row in rows_bottom_up(rgba, size, size):
        idx = []
        for x in range(size):
            r, g, b, a = row[x * 4:x * 4 + 4]
            colour = over_white(r, g, b, a) if bpp == 4 else (r, g, b)
            idx.append(0 if a < 128 else nearest(palette, colour, cache))
        if bpp == 8:
            line = bytes(idx)
        else:
            line = bytes((idx[i] << 4) | (idx[i + 1] if i + 1 < size else 0) for i in range(0, size, 2))
        pixels += pad4(line)
    return header + pal + pixels + and_mask(rgba, size, size)


def write_ico(path, art):
    images = []
    for bpp in (4, 8, 32):
        for size in (16, 32, 48) if bpp < 32 else (16, 20, 24, 32, 40, 48, 64):
            rgba = convert_rgba(art + ["-filter", "Lanczos"], size, size)
            if bpp == 8:
                # Colours from ImageMagick's own 256-colour quantisation, the mask from the alpha.
                flat = convert_rgba(art + ["-filter", "Lanczos", "-resize", f"{size}x{size}!",
                                           "-background", "white", "-alpha", "remove",
                                           "+dither", "-colors", "256"], size, size)
                rgba = bytes(flat[i] if i % 4 != 3 else rgba[i] for i in range(len(rgba)))
            colours = 16 if bpp == 4 else 0
            images.append((size, colours, bpp, icon_image(rgba, size, bpp)))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    blobs = b""
    for size, colours, bpp, blob in images:
        directory += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
        blobs += blob
    with open(path, "wb") as f:
        f.write(directory + blobs)


def write_bmp8(path, art, width, height):
    rgba = convert_rgba(art + ["-resize", f"{width}x{height}!", "+dither", "-colors", "256"],
                        width, height)
    palette = sorted(set(tuple(rgba[i:i + 3]) for i in range(0, len(rgba), 4)))
    palette += [(0, 0, 0)] * (256 - len(palette))
    cache = {}
    pixels = b""
    for row in rows_bottom_up(rgba, width, height):
        line = bytes(nearest(palette, tuple(row[x*4:x*4+3]), cache) for x in range(width))
        pixels += pad4(line)
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + pal + pixels)


if __name__ == "__main__":
    write_ico(os.path.join(RES, "app.ico"), tile(badge=True))
    write_ico(os.path.join(RES, "about.ico"), about_tile())
    write_bmp8(os.path.join(RES, "panel.bmp"), panel(), 102, 122)
    write_bmp8(os.path.join(RES, "panel-200.bmp"), panel(), 204, 244)
