#!/usr/bin/env python3
"""Builds the skin: every picture and string file the programs load, from the sources in this folder.

    generate.py --dist DIR [--preview DIR] [--convert PATH]

DIR is the product folder: pictures go to DIR/Skins, Strings.xml to DIR.
Previews (PNG, not shipped) go to the preview folder when one is given.
"""

import argparse
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

# The generator runs from the source tree; keep its byte-code caches out of it.
sys.dont_write_bytecode = True

from generator import geometry, previews, string_files  # noqa: E402
from generator.imagemagick import Workshop  # noqa: E402
from generator.progress_window import ProgressWindowPainter  # noqa: E402

SKIN_SOURCE = Path(__file__).resolve().parent
GEOMETRY_FILE = SKIN_SOURCE / "geometry.json"
ENGLISH_STRINGS = SKIN_SOURCE / "strings" / "en.xml"
# One picture folder for every program: Windows and Wine look names up
# without regard to case, so the service's "skins\" and the settings
# library's "Skins\" are this same folder.
PICTURE_FOLDER = "Skins"
STRING_FILE = "Strings.xml"
PREVIEW_PERCENT = 50


def bar_text(string_file):
    element = ElementTree.parse(string_file).getroot().find("LOADING/BEACONET")
    return element.text if element is not None and element.text else ""


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dist", required=True, type=Path, help="product folder")
    parser.add_argument("--preview", type=Path, help="folder for preview pictures")
    parser.add_argument("--convert", help="ImageMagick's convert (default: from PATH)")
    args = parser.parse_args()

    shape = geometry.load(GEOMETRY_FILE)
    strings = string_files.write_string_file(ENGLISH_STRINGS, args.dist / STRING_FILE)
    with tempfile.TemporaryDirectory(prefix="korvex-skin-") as scratch:
        workshop = Workshop(scratch, args.convert)
        progress = ProgressWindowPainter(shape, workshop).paint(args.dist / PICTURE_FOLDER)
        if args.preview:
            previews.progress_preview(shape, workshop, progress, bar_text(strings), PREVIEW_PERCENT,
                                      args.preview / f"progress_{PREVIEW_PERCENT}.png")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (RuntimeError, ValueError, OSError, ElementTree.ParseError) as error:
        print(f"generate.py: {error}", file=sys.stderr)
        sys.exit(1)
