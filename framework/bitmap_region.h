#pragma once
// Window shapes from mask pictures.

#include <windows.h>

#include "framework/gdi_objects.h"

namespace korvex {

// The region of every pixel of `bitmap` that is not pure white (red, green
// and blue all 255), in the bitmap's coordinates (top-left pixel at 0, 0).
// Empty when no pixel qualifies, the bitmap is empty or cannot be read.
CRegion BitmapToRegion(HBITMAP bitmap);

// Gives `window` the shape of `region` and redraws it. The system takes the
// region over only when it accepts it; otherwise it is freed here and the
// result is false (also for an empty region: the window keeps its shape).
bool SetWindowShape(HWND window, CRegion region);

}  // namespace korvex
