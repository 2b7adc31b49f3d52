#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Colour fidelity of picture import, against Pillow's quantizer on the same colours.

Makes a set of test pictures with ImageMagick (its built-in images, a plasma, a
smooth gradient, a photo-like picture, one with transparency), converts each
with `orvane-cli convert` and with Pillow's Image.quantize onto the same 151
palette colours, and prints the mean OKLab difference between each result's
colours and the source, cropped to 16:9 and scaled to 144 x 81 by area
averaging in linear light (transparency over black). Dithered results and
their source are both blurred first (Gaussian, sigma 1 px, in linear light),
since the eye averages the dots.

    /usr/bin/python3 bench/import_quality.py [--cli build/default/bin/orvane-cli]
                                             [--palette build/default/bin/mevrik.palette]

Needs python3-pil, python3-numpy and imagemagick (bench/setup-import-bench.sh).
"""
import argparse
import math
import os
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image

W, H = 144, 81
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# name -> ImageMagick arguments that make it (written as PNG).
PICTURES = {
    "rose": ["rose:"],
    "logo": ["logo:"],
    "wizard": ["wizard:"],
    "granite": ["granite:", "-scale", "400%"],
    "plasma": ["-seed", "7", "-size", "640x400", "plasma:fractal"],
    "gradient": ["-size", "640x360", "gradient:#1a2a6c-#fdbb2d", "(", "-size", "640x360",
                 "gradient:", "-rotate", "90", ")", "-compose", "multiply", "-composite"],
    "photo-like": ["-seed", "3", "-size", "960x640", "plasma:sandybrown-skyblue", "-blur", "0x6",
                   "(", "-size", "960x640", "radial-gradient:white-black", ")", "-compose", "multiply",
                   "-composite", "-attenuate", "0.3", "+noise", "Gaussian"],
    "transparent": ["wizard:", "-fuzz", "10%", "-transparent", "white", "-channel", "A",
                    "-evaluate", "multiply", "0.8", "+channel"],
}


def srgb_to_linear(v):
    v = np.asarray(v, dtype=np.float64)
    return np.where(v <= 0.04045, v / 12.92, ((v + 0.055) / 1.055) ** 2.4)


def linear_to_oklab(rgb):
    m1 = np.array([[0.4122214708, 0.5363325363, 0.0514459929],
                   [0.2119034982, 0.6806995451, 0.1073969566],
                   [0.0883024619, 0.2817188376, 0.6299787005]])
    m2 = np.array([[0.2104542553, 0.7936177850, -0.0040720468],
                   [1.9779984951, -2.4285922050, 0.4505937099],
                   [0.0259040371, 0.7827717662, -0.8086757660]])
    lms = np.cbrt(np.clip(rgb, 0, None) @ m1.T)
    return lms @ m2.T


def area_weights(start, length, count, limit):
    """count x limit matrix: row i averages [start + i*length/count, ...) of the source."""
    w = np.zeros((count, limit))
    step = length / count
    for i in range(count):
        a, b = start + i * step, start + (i + 1) * step
        for j in range(max(0, math.floor(a)), min(limit, math.ceil(b))):
            w[i, j] = max(0.0, min(b, j + 1) - max(a, j))
        w[i] /= w[i].sum()
    return w


def reference(path):
    """The source cropped to fill 16:9, area-averaged in linear light, over black."""
    im = Image.open(path).convert("RGBA")
    px = np.asarray(im, dtype=np.float64) / 255.0
    lin = srgb_to_linear(px[..., :3]) * px[..., 3:4]
    h, w = lin.shape[:2]
    sx, sy, sw, sh = 0.0, 0.0, float(w), float(h)
    if w * H > h * W:
        sw = h * W / H
        sx = (w - sw) / 2
    elif w * H < h * W:
        sh = w * H / W
        sy = (h - sh) / 2
    wx = area_weights(sx, sw, W, w)
    wy = area_weights(sy, sh, H, h)
    return np.einsum("oy,yxc,ix->oic", wy, lin, wx)


def blur(lin, sigma=1.0):
    r = 3
    k = np.exp(-0.5 * (np.arange(-r, r + 1) / sigma) ** 2)
    k /= k.sum()
    out = lin
    for axis in (0, 1):
        padded = np.pad(out, [(r, r) if a == axis else (0, 0) for a in range(3)], mode="edge")
        out = sum(k[i] * np.take(padded, range(i, i + out.shape[axis]), axis=axis) for i in range(2 * r + 1))
    return out


def mean_difference(result_lin, ref_lin, dithered):
    if dithered:
        result_lin, ref_lin = blur(result_lin), blur(ref_lin)
    d = linear_to_oklab(result_lin) - linear_to_oklab(ref_lin)
    return float(np.sqrt((d ** 2).sum(axis=-1)).mean())


def read_palette(path):
    fields = [f.strip() for f in open(path).read().replace("\r", "\n").replace("\n", ",").split(",") if f.strip()]
    return np.array([[int(fields[4 * e + c]) for c in (1, 2, 3)] for e in range(151)], dtype=np.uint8)


def orvane(cli, palette_path, source, out, dither):
    subprocess.run([cli, "convert", "--force", "--palette", palette_path, "--dither", dither, source, out],
                   check=True, stdout=subprocess.DEVNULL)
    with open(out, "rb") as f:
        data = f.read()
    offset = int.from_bytes(data[10:14], "little")
    rows = np.frombuffer(data[offset:offset + W * H], dtype=np.uint8).reshape(H, W)
    return rows[::-1]  # bottom-up


def pillow(ref_lin, palette, dither):
    srgb = np.where(ref_lin <= 0.0031308, ref_lin * 12.92, 1.055 * np.clip(ref_lin, 0, None) ** (1 / 2.4) - 0.055)
    im = Image.fromarray(np.clip(np.round(srgb * 255), 0, 255).astype(np.uint8), "RGB")
    pal = Image.new("P", (1, 1))
    flat = list(palette.reshape(-1)) + list(palette[0]) * (256 - len(palette))  # padding repeats entry 0
    pal.putpalette(flat)
    mode = Image.Dither.FLOYDSTEINBERG if dither == "fs" else Image.Dither.NONE
    idx = np.asarray(im.quantize(palette=pal, dither=mode))
    return np.where(idx < len(palette), idx, 0)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--cli", default=os.path.join(ROOT, "build/default/bin/orvane-cli"))
    ap.add_argument("--palette", default=os.path.join(ROOT, "build/default/bin/mevrik.palette"))
    args = ap.parse_args()
    palette = read_palette(args.palette)
    palette_lin = srgb_to_linear(palette / 255.0)

    ratios = {"fs": [], "none": []}
    with tempfile.TemporaryDirectory() as tmp:
        print(f"{'picture':<12} {'mode':<5} {'orvane':>8} {'pillow':>8} {'ratio':>6}")
        for name, recipe in PICTURES.items():
            source = os.path.join(tmp, name + ".png")
            subprocess.run(["convert", *recipe, "-depth", "8", source], check=True)
            ref = reference(source)
            for dither in ("fs", "none"):
                ours = palette_lin[orvane(args.cli, args.palette, source, os.path.join(tmp, name + ".bmp"), dither)]
                theirs = palette_lin[pillow(ref, palette, dither)]
                a = mean_difference(ours, ref, dither == "fs")
                b = mean_difference(theirs, ref, dither == "fs")
                ratios[dither].append(a / b)
                print(f"{name:<12} {dither:<5} {a:8.4f} {b:8.4f} {a / b:6.3f}")
    goals = {"fs": 0.6, "none": 0.95}
    ok = True
    for dither, values in ratios.items():
        g = math.exp(sum(math.log(v) for v in values) / len(values))
        met = g <= goals[dither]
        ok &= met
        print(f"geometric mean ratio, {'dithered' if dither == 'fs' else 'undithered'}: {g:.3f} "
              f"(goal <= {goals[dither]}) {'met' if met else 'NOT met'}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
