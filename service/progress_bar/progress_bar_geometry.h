#pragma once
// The arithmetic of the progress bar: how much of it is filled, where a drag
// puts the position, and which positions the bar accepts. Plain integers, so
// the rules are tested without a window.

#include <cstdint>

// `value` brought into Minimum..Maximum (a value below Minimum gives Minimum,
// one above Maximum gives Maximum).
int32_t ClampBarPosition(int32_t value, int32_t minimum, int32_t maximum);

// Width in pixels of the filled part of a bar `barWidth` wide:
// (position - minimum) * barWidth / (maximum - minimum), rounded down, kept
// within 0..barWidth. An empty range (maximum <= minimum) fills nothing.
int32_t FilledBarWidth(int32_t position, int32_t minimum, int32_t maximum, int32_t barWidth);

// The position for a pointer at `x` (in the owner's coordinates) while the
// bar is dragged between `leftLimit` and `rightLimit`:
// (x - leftLimit) * (maximum - minimum) / (rightLimit - leftLimit) + minimum,
// kept within minimum..maximum. Without room to drag (rightLimit <=
// leftLimit) the result is minimum.
int32_t BarPositionAtPointer(int32_t x, int32_t leftLimit, int32_t rightLimit, int32_t minimum, int32_t maximum);
