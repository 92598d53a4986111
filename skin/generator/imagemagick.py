"""Drawing primitives over ImageMagick's convert.

Every primitive writes one picture into the workshop's scratch folder and
returns its path, so a painter composes a picture from named layers. Layers are
kept as 16-bit PNG files with an alpha channel; only the final pictures are
written in the formats the programs load.
"""

import shutil
import subprocess
from pathlib import Path


class Workshop:
    def __init__(self, scratch_dir, convert=None):
        self.scratch = Path(scratch_dir)
        self.scratch.mkdir(parents=True, exist_ok=True)
        self.convert = convert or shutil.which("convert")
        if not self.convert:
            raise RuntimeError("ImageMagick's convert was not found (tools/deps.sh installs it)")

    def layer(self, name):
        return self.scratch / f"{name}.png"

    def run(self, *args):
        command = [self.convert, *[str(arg) for arg in args]]
        result = subprocess.run(command, capture_output=True, text=True)
        if result.returncode != 0:
            raise RuntimeError(f"convert failed ({result.returncode}): {' '.join(command)}\n{result.stderr}")

    # --- plain layers ---------------------------------------------------------

    def linear_gradient(self, name, size, colours, span=None, vertical=False):
        """Colours spread evenly over span (first, last pixel line + 1), flat beyond it.

        Left to right, or top to bottom when vertical.
        """
        width, height = size
        extent = height if vertical else width
        first, last = span or (0, extent)
        segments = len(colours) - 1
        edges = [first + round((last - first) * i / segments) for i in range(segments + 1)]
        args = []
        for i in range(segments):
            length = edges[i + 1] - edges[i]
            segment_size = f"{width}x{length}" if vertical else f"{length}x{height}"
            args += ["(", "-size", segment_size, "-define",
                     f"gradient:direction={'South' if vertical else 'East'}",
                     f"gradient:{colours[i]}-{colours[i + 1]}", ")"]
        before, after = ("North", "South") if vertical else ("West", "East")
        def splice(amount):
            return f"0x{amount}" if vertical else f"{amount}x0"
        out = self.layer(name)
        self.run(*args, "-append" if vertical else "+append",
                 "-background", colours[0], "-gravity", before, "-splice", splice(first),
                 "-background", colours[-1], "-gravity", after, "-splice", splice(extent - last),
                 "+gravity", out)
        return out

    def radial_glow(self, name, size, centre, radii, colour):
        """An elliptic glow of colour fading to transparent, centred at centre."""
        width, height = size
        cx, cy = centre
        rx, ry = radii
        out = self.layer(name)
        self.run("-size", f"{2 * rx}x{2 * ry}", f"radial-gradient:{colour}-{colour}00",
                 "-background", "none", "-extent", f"{width + 2 * rx}x{height + 2 * ry}-{rx}-{ry}",
                 "-crop", f"{width}x{height}+{2 * rx - cx}+{2 * ry - cy}", "+repage", out)
        return out

    # --- masks: white where the shape is, black elsewhere -----------------------

    def rounded_rect_mask(self, name, size, rect, radius, antialias=True):
        width, height = size
        out = self.layer(name)
        self.run("-size", f"{width}x{height}", "xc:black",
                 "-antialias" if antialias else "+antialias",
                 "-fill", "white", "-stroke", "none",
                 "-draw", _round_rect(rect, radius), out)
        return out

    def rounded_rect_outline(self, name, size, rect, radius, stroke_width):
        """A mask of a rounded rectangle's outline, stroke centred on the edge."""
        width, height = size
        out = self.layer(name)
        self.run("-size", f"{width}x{height}", "xc:black",
                 "-fill", "none", "-stroke", "white", "-strokewidth", stroke_width,
                 "-draw", _round_rect(rect, radius), out)
        return out

    def blurred(self, name, layer, sigma):
        out = self.layer(name)
        self.run(layer, "-channel", "RGBA", "-blur", f"0x{sigma}", "+channel", out)
        return out

    def negated(self, name, mask):
        out = self.layer(name)
        self.run(mask, "-negate", out)
        return out

    def multiplied(self, name, *masks):
        out = self.layer(name)
        self.run(masks[0], *[arg for mask in masks[1:] for arg in (mask, "-compose", "Multiply", "-composite")], out)
        return out

    # --- composing ------------------------------------------------------------

    def masked(self, name, colour_layer, mask, opacity=1.0):
        """colour_layer shown where mask is white, at the given opacity."""
        out = self.layer(name)
        self.run(colour_layer, "-alpha", "off", mask, "-alpha", "off",
                 "-compose", "CopyOpacity", "-composite",
                 "-channel", "A", "-evaluate", "Multiply", opacity, "+channel", out)
        return out

    def faded(self, name, layer, opacity):
        out = self.layer(name)
        self.run(layer, "-channel", "A", "-evaluate", "Multiply", opacity, "+channel", out)
        return out

    def flat_colour(self, name, size, colour):
        width, height = size
        out = self.layer(name)
        self.run("-size", f"{width}x{height}", f"xc:{colour}", out)
        return out

    def stacked(self, name, base, *overlays, compose="Over"):
        """base with every overlay composed on it in turn."""
        out = self.layer(name)
        args = [base]
        for overlay in overlays:
            args += [overlay, "-compose", compose, "-composite"]
        self.run(*args, out)
        return out

    def patched(self, name, base, patch, rect):
        """base with the rectangle rect taken from patch."""
        out = self.layer(name)
        self.run(base, "(", patch, "-crop", rect.crop_geometry(), "+repage", ")",
                 "-geometry", f"+{rect.left}+{rect.top}", "-compose", "Over", "-composite", out)
        return out

    def text(self, name, size, text, origin, font, point_size, colour, letter_spacing=0):
        """Text on a transparent layer, its box's top-left corner at origin."""
        width, height = size
        x, y = origin
        out = self.layer(name)
        self.run("-size", f"{width}x{height}", "xc:none", "-font", font, "-pointsize", point_size,
                 "-kerning", letter_spacing, "-fill", colour, "-gravity", "NorthWest",
                 "-annotate", f"+{x}+{y}", text, out)
        return out

    def drawing(self, name, size, *draw_args):
        """A transparent layer with ImageMagick draw settings and primitives."""
        width, height = size
        out = self.layer(name)
        self.run("-size", f"{width}x{height}", "xc:none", *draw_args, out)
        return out

    # --- final pictures -------------------------------------------------------

    def save_jpeg(self, layer, path, quality):
        # Full-resolution colour: thin accent lines smear with chroma subsampling.
        self.run(layer, "-background", "black", "-alpha", "remove", "-strip",
                 "-sampling-factor", "4:4:4", "-quality", quality, f"JPEG:{path}")
        return path

    def save_bitmap_24(self, layer, path):
        self.run(layer, "-background", "white", "-alpha", "remove", "-strip",
                 "-type", "TrueColor", f"BMP3:{path}")
        return path

    def save_png(self, layer, path):
        self.run(layer, "-strip", "-define", "png:exclude-chunks=date,time", f"PNG32:{path}")
        return path


def _round_rect(rect, radius):
    """A draw primitive covering the pixels of rect (right and bottom exclusive)."""
    left, top, right, bottom = rect
    return f"roundrectangle {left},{top} {right - 1},{bottom - 1} {radius},{radius}"
