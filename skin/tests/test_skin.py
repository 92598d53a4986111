#!/usr/bin/env python3
"""Checks the generated skin in a product folder.

    test_skin.py DIST_DIR

Pictures are checked through their headers and pixels as the service reads
them: the window shape from the mask, the sizes from the BMP and JPEG headers.
The last line is a summary, "N passed, M failed".
"""

import shutil
import struct
import subprocess
import sys
import traceback
import xml.etree.ElementTree as ElementTree
from pathlib import Path

# Where the service writes the bar text over the progress window.
BAR_TEXT_RECT = (175, 60, 575, 105)
WHITE = (255, 255, 255)
XML_DECLARATION = '<?xml version="1.0" encoding="utf-16"?>'


class Bitmap24:
    """An uncompressed 24-bit BMP, read by hand."""

    def __init__(self, path):
        data = Path(path).read_bytes()
        if data[:2] != b"BM":
            raise AssertionError(f"{path.name}: not a BMP file")
        pixel_offset = struct.unpack_from("<I", data, 10)[0]
        width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
        if bits != 24 or compression != 0:
            raise AssertionError(f"{path.name}: {bits} bits, compression {compression}; expected 24-bit uncompressed")
        self.width = width
        self.height = abs(height)
        self._bottom_up = height > 0
        self._stride = (width * 3 + 3) & ~3
        self._pixels = data[pixel_offset:pixel_offset + self._stride * self.height]
        if len(self._pixels) < self._stride * self.height:
            raise AssertionError(f"{path.name}: pixel data is cut short")

    def pixel(self, x, y):
        row = self.height - 1 - y if self._bottom_up else y
        offset = row * self._stride + x * 3
        blue, green, red = self._pixels[offset:offset + 3]
        return red, green, blue

    def pixels(self):
        return (self.pixel(x, y) for y in range(self.height) for x in range(self.width))


def jpeg_size(path):
    """Width and height from the first start-of-frame marker."""
    data = Path(path).read_bytes()
    if data[:2] != b"\xff\xd8":
        raise AssertionError(f"{path.name}: not a JPEG file")
    offset = 2
    while offset + 4 <= len(data):
        if data[offset] != 0xFF:
            raise AssertionError(f"{path.name}: broken marker at {offset}")
        marker = data[offset + 1]
        length = struct.unpack_from(">H", data, offset + 2)[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            height, width = struct.unpack_from(">HH", data, offset + 5)
            return width, height
        offset += 2 + length
    raise AssertionError(f"{path.name}: no frame header")


def rgb_crop(path, rect):
    """The pixels of rect (left, top, right, bottom) decoded by ImageMagick, as bytes."""
    convert = shutil.which("convert")
    if not convert:
        raise AssertionError("ImageMagick's convert is needed to decode JPEG pictures")
    left, top, right, bottom = rect
    result = subprocess.run([convert, str(path), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                             "+repage", "-depth", "8", "rgb:-"], capture_output=True, check=True)
    return result.stdout


def mean_difference(first, second):
    return sum(abs(a - b) for a, b in zip(first, second)) / len(first)


class SkinChecks:
    def __init__(self, dist):
        self.dist = Path(dist)
        self.skins = self.dist / "Skins"
        self.mask_path = self.skins / "updatebar_Mask.bmp"
        self.empty_path = self.skins / "updatebar_n.jpg"
        self.full_path = self.skins / "updatebar_o.jpg"

    def progress_pictures_share_one_size(self):
        mask = Bitmap24(self.mask_path)
        sizes = {"mask": (mask.width, mask.height),
                 "empty bar": jpeg_size(self.empty_path), "full bar": jpeg_size(self.full_path)}
        assert len(set(sizes.values())) == 1, f"sizes differ: {sizes}"
        width, height = sizes["mask"]
        assert width > BAR_TEXT_RECT[2] and height > BAR_TEXT_RECT[3], \
            f"window {width}x{height} does not hold the bar text rectangle {BAR_TEXT_RECT}"

    def mask_shapes_a_rounded_window_around_the_text(self):
        mask = Bitmap24(self.mask_path)
        colours = set(mask.pixels())
        assert WHITE in colours, "no white pixel: the window would keep its rectangular shape"
        assert colours - {WHITE}, "only white pixels: the window would have no shape"
        last_x, last_y = mask.width - 1, mask.height - 1
        for corner in ((0, 0), (last_x, 0), (0, last_y), (last_x, last_y)):
            assert mask.pixel(*corner) == WHITE, f"corner {corner} belongs to the window"
        left, top, right, bottom = BAR_TEXT_RECT
        outside = [(x, y) for y in range(top, bottom) for x in range(left, right) if mask.pixel(x, y) == WHITE]
        assert not outside, f"bar text rectangle pixels outside the window, first {outside[0]}"

    def full_picture_differs_from_empty_only_at_the_bar(self):
        mask = Bitmap24(self.mask_path)
        # The text area must not change as the bar fills, or the text flickers.
        text_change = mean_difference(rgb_crop(self.empty_path, BAR_TEXT_RECT), rgb_crop(self.full_path, BAR_TEXT_RECT))
        assert text_change < 1.0, f"text area differs between the pictures (mean {text_change:.2f})"
        below_text = (0, BAR_TEXT_RECT[3], mask.width, mask.height)
        bar_change = mean_difference(rgb_crop(self.empty_path, below_text), rgb_crop(self.full_path, below_text))
        assert bar_change > 5.0, f"the full bar is hardly different from the empty one (mean {bar_change:.2f})"

    def string_file_is_utf16_with_the_bar_text(self):
        data = (self.dist / "Strings.xml").read_bytes()
        assert data[:2] == b"\xff\xfe", f"starts with {data[:2].hex()}, not the mark FF FE"
        text = data[2:].decode("utf-16-le")
        assert text.startswith(XML_DECLARATION), f"declaration is {text.splitlines()[0]!r}"
        root = ElementTree.fromstring(text.encode("utf-8").replace(b'encoding="utf-16"', b'encoding="utf-8"'))
        assert root.tag == "root", f"root element is <{root.tag}>"
        bar_text = root.findtext("LOADING/BEACONET")
        assert bar_text and bar_text.strip(), "LOADING/BEACONET is missing or empty"


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    checks = SkinChecks(sys.argv[1])
    names = [name for name in vars(SkinChecks) if not name.startswith("_")]
    failed = 0
    for name in names:
        try:
            getattr(checks, name)()
            print(f"ok   {name}")
        except Exception as error:  # a missing file fails its check, not the run
            failed += 1
            print(f"FAIL {name}: {error}")
            if not isinstance(error, (AssertionError, OSError)):
                traceback.print_exc(file=sys.stdout)
    print(f"{len(names) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
