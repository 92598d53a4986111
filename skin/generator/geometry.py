"""Reads the skin's geometry description (geometry.json).

Rectangles are written [left, top, right, bottom] in pixels, right and bottom
exclusive, the way the programs hand rectangles to GDI. Colours are either
"#rrggbb" literals or names from the palette.
"""

import json
from dataclasses import dataclass
from pathlib import Path


@dataclass(frozen=True)
class Rect:
    left: int
    top: int
    right: int
    bottom: int

    @classmethod
    def from_list(cls, values):
        left, top, right, bottom = values
        rect = cls(left, top, right, bottom)
        if rect.width <= 0 or rect.height <= 0:
            raise ValueError(f"empty rectangle {values}")
        return rect

    def __iter__(self):
        return iter((self.left, self.top, self.right, self.bottom))

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top

    def contains(self, other):
        return (self.left <= other.left and self.top <= other.top
                and other.right <= self.right and other.bottom <= self.bottom)

    def overlaps(self, other):
        return (self.left < other.right and other.left < self.right
                and self.top < other.bottom and other.top < self.bottom)

    def inset(self, amount):
        return Rect(self.left + amount, self.top + amount,
                    self.right - amount, self.bottom - amount)

    def crop_geometry(self):
        """The rectangle as an ImageMagick geometry, WxH+X+Y."""
        return f"{self.width}x{self.height}+{self.left}+{self.top}"


class Geometry:
    """The parsed description with palette names resolved on request."""

    def __init__(self, data):
        self._data = data
        self.palette = data["palette"]
        self.picture_font = data["picture_font"]

    def section(self, name):
        return self._data[name]

    def colour(self, value):
        """A palette name or a colour literal, as a colour literal."""
        if value.startswith("#"):
            return value
        try:
            return self.palette[value]
        except KeyError:
            raise ValueError(f"unknown palette colour '{value}'") from None

    def colours(self, values):
        return [self.colour(value) for value in values]


def load(path):
    with Path(path).open(encoding="utf-8") as file:
        return Geometry(json.load(file))
