"""Previews of skinned windows as the programs will show them, for people to look at.

They are not shipped: they compose the shipped pictures the way the program
paints them, with the text drawn in a font close to the program's.
"""

from pathlib import Path

from .geometry import Rect

# Windows reads a positive font height as the cell height; Arial's em is
# 2048 / 2288 of its cell, and ImageMagick's point size at 72 dpi is the em in pixels.
ARIAL_EM_PER_CELL = 2048 / 2288


def progress_preview(geometry, workshop, pictures, bar_text, percent, target):
    """The progress window at percent, with bar_text, outside its shape transparent."""
    layout = geometry.section("progress_window")
    width, height = layout["size"]
    filled_width = percent * width // 100
    text_rect = Rect.from_list(layout["text_rect"])
    font = layout["text_font"]
    ws = workshop

    layers = [ws.layer("preview_filled")]
    ws.run(pictures.full, "-crop", f"{max(filled_width, 1)}x{height}+0+0", "+repage", layers[0])
    if filled_width == 0:
        layers = []
    if bar_text:
        text = ws.layer("preview_text")
        ws.run("-size", f"{text_rect.width}x{text_rect.height}", "xc:none",
               "-font", geometry.picture_font, "-pointsize", round(font["height"] * ARIAL_EM_PER_CELL),
               "-fill", geometry.colour(font["colour"]), "-gravity", "Center", "-annotate", "+0+0", bar_text,
               "-background", "none", "+gravity", "-extent",
               f"{width}x{height}-{text_rect.left}-{text_rect.top}", text)
        layers.append(text)
    painted = ws.stacked("preview_painted", str(pictures.empty), *layers)
    window_only = ws.layer("preview_window")
    ws.run(painted, "-alpha", "off", "(", pictures.mask, "-negate", ")", "-alpha", "off",
           "-compose", "CopyOpacity", "-composite", window_only)
    target = Path(target)
    target.parent.mkdir(parents=True, exist_ok=True)
    return ws.save_png(window_only, target)
