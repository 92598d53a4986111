"""Paints the service's progress window: its shape, its empty look and its full look.

The service paints the empty picture over the whole window and then the full
picture from the left edge up to the filled width, over the whole height. So
both are complete pictures of the window that differ only inside the bar band;
the text rectangle, where the service writes the bar text, stays calm and
identical in both.
"""

from dataclasses import dataclass
from pathlib import Path

from .geometry import Rect

MASK_FILE = "updatebar_Mask.bmp"
EMPTY_FILE = "updatebar_n.jpg"
FULL_FILE = "updatebar_o.jpg"
JPEG_QUALITY = 95


@dataclass(frozen=True)
class ProgressPictures:
    mask: Path
    empty: Path
    full: Path


class ProgressWindowPainter:
    def __init__(self, geometry, workshop):
        self.g = geometry
        self.layout = geometry.section("progress_window")
        self.ws = workshop
        self.size = tuple(self.layout["size"])
        self.window = Rect(0, 0, *self.size)
        self.text_rect = Rect.from_list(self.layout["text_rect"])
        self.track = Rect.from_list(self.layout["track"]["rect"])
        self.bar_band = Rect.from_list(self.layout["bar_band"])
        self._check_layout()

    def _check_layout(self):
        for name, rect in (("text rectangle", self.text_rect), ("track", self.track),
                           ("bar band", self.bar_band)):
            if not self.window.contains(rect):
                raise ValueError(f"progress window: the {name} {rect} lies outside the window {self.size}")
        if not self.bar_band.contains(self.track):
            raise ValueError("progress window: the track must lie inside the bar band")
        if self.bar_band.overlaps(self.text_rect):
            raise ValueError("progress window: the bar band must leave the text rectangle alone")

    def paint(self, skins_dir):
        skins_dir = Path(skins_dir)
        skins_dir.mkdir(parents=True, exist_ok=True)
        empty = self._empty_window()
        full = self.ws.patched("full", empty, self._filled_bar_over(empty), self.bar_band)
        return ProgressPictures(
            mask=self.ws.save_bitmap_24(self._window_shape(), skins_dir / MASK_FILE),
            empty=self.ws.save_jpeg(empty, skins_dir / EMPTY_FILE, JPEG_QUALITY),
            full=self.ws.save_jpeg(full, skins_dir / FULL_FILE, JPEG_QUALITY),
        )

    # --- the shape -----------------------------------------------------------

    def _window_shape(self):
        """Black window on white: the service keeps every pixel that is not pure white.

        Drawn without anti-aliasing, so the region is exactly the rounded rectangle.
        """
        shape = self.ws.rounded_rect_mask("shape", self.size, self.window,
                                          self.layout["corner_radius"], antialias=False)
        return self.ws.negated("window_shape", shape)

    # --- the empty window ----------------------------------------------------

    def _empty_window(self):
        return self.ws.stacked("empty", self._background(), self._border(), self._top_highlight(),
                               self._wordmark(), self._key_dots(), self._track())

    def _background(self):
        width, height = self.size
        base = self.ws.linear_gradient("background_base", self.size,
                                       [self.g.colour("graphite_top"), self.g.colour("graphite_bottom")],
                                       vertical=True)
        sheen = self.ws.radial_glow("background_sheen", self.size, (width // 2, 0),
                                    (width * 2 // 3, height), self.g.colour("graphite_sheen"))
        return self.ws.stacked("background", base, sheen)

    def _border(self):
        layout = self.layout["border"]
        half = layout["width"] / 2
        edge = (half, half, self.size[0] - half + 1, self.size[1] - half + 1)
        outline = self.ws.rounded_rect_outline("border_outline", self.size, edge,
                                               self.layout["corner_radius"] - half, layout["width"])
        colours = self.ws.linear_gradient("border_colours", self.size, self.g.colours(layout["colours"]))
        return self.ws.masked("border", colours, outline, layout["opacity"])

    def _top_highlight(self):
        """A faint light line just inside the top edge, as if lit from above."""
        radius = self.layout["corner_radius"]
        y = self.layout["border"]["width"] + 0.5
        line = self.ws.drawing("top_highlight_line", self.size, "-stroke", "white", "-strokewidth", 1,
                               "-draw", f"line {radius},{y} {self.size[0] - 1 - radius},{y}")
        fade = self.ws.linear_gradient("top_highlight_fade", self.size, ["black", "white", "white", "black"],
                                       (radius, self.size[0] - radius))
        return self.ws.masked("top_highlight", line, self.ws.multiplied("top_highlight_mask", line, fade),
                              self.layout["top_highlight_opacity"])

    def _wordmark(self):
        layout = self.layout["wordmark"]
        return self.ws.text("wordmark", self.size, layout["text"], layout["origin"], self.g.picture_font,
                            layout["point_size"], self.g.colour(layout["colour"]), layout["letter_spacing"])

    def _key_dots(self):
        """Three small key caps in the accent colours: the keyboard's lighting in miniature."""
        layout = self.layout["key_dots"]
        x, y = layout["origin"]
        side = layout["size"]
        draw = []
        for index, colour in enumerate(self.g.colours(layout["colours"])):
            left = x + index * (side + layout["gap"])
            draw += ["-fill", colour, "-draw", f"roundrectangle {left},{y} {left + side - 1},{y + side - 1} 2,2"]
        dots = self.ws.drawing("key_dots_opaque", self.size, "-stroke", "none", *draw)
        glow = self.ws.blurred("key_dots_glow", dots, 3)
        return self.ws.faded("key_dots", self.ws.stacked("key_dots_lit", glow, dots), layout["opacity"])

    def _track(self):
        layout = self.layout["track"]
        radius = layout["radius"]
        body = self.ws.masked("track_body", self.ws.flat_colour("track_colour", self.size, layout["fill"]),
                              self.ws.rounded_rect_mask("track_shape", self.size, self.track, radius))
        # A recessed groove: the rim catches light along its lower edge only.
        rim = self.ws.rounded_rect_outline("track_rim_outline", self.size,
                                           (self.track.left - 0.5, self.track.top - 0.5,
                                            self.track.right + 0.5, self.track.bottom + 0.5),
                                           radius + 0.5, 1)
        lower = self.ws.linear_gradient("track_rim_lower", self.size, ["black", "white"],
                                        (self.track.top, self.track.bottom), vertical=True)
        rim_light = self.ws.masked("track_rim", self.ws.flat_colour("white", self.size, "white"),
                                   self.ws.multiplied("track_rim_mask", rim, lower), layout["rim_opacity"])
        return self.ws.stacked("track", body, rim_light)

    # --- the filled bar ------------------------------------------------------

    def _filled_bar_over(self, empty):
        layout = self.layout["fill"]
        bar = self.track.inset(layout["inset"])
        radius = self.layout["track"]["radius"] - layout["inset"]
        shape = self.ws.rounded_rect_mask("fill_shape", self.size, bar, radius)
        colours = self.ws.linear_gradient("fill_colours", self.size, self.g.colours(layout["colours"]),
                                          (bar.left, bar.right))
        glow = self.ws.masked("fill_glow", colours, self.ws.blurred("fill_glow_mask", shape, layout["glow_sigma"]),
                              layout["glow_opacity"])
        fill = self.ws.masked("fill", colours, shape)
        gloss_fade = self.ws.linear_gradient("fill_gloss_fade", self.size, ["white", "black"],
                                             (bar.top, bar.top + bar.height // 2 + 1), vertical=True)
        gloss = self.ws.masked("fill_gloss", self.ws.flat_colour("white", self.size, "white"),
                               self.ws.multiplied("fill_gloss_mask", shape, gloss_fade), layout["gloss_opacity"])
        lit = self.ws.stacked("filled_glow", empty, glow, compose="Screen")
        return self.ws.stacked("filled", lit, fill, gloss)
