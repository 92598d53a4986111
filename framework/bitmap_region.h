#pragma once
// Window shapes from mask pictures.

#include <windows.h>

#include "framework/gdi_objects.h"

namespace korvex {

// The region of every pixel of `bitmap` that is not pure white (red, green
// and blue all 255), in the bitmap's coordinates (top-left pixel at 0, 0).
// Empty when no pixel qualifies, the bitmap is empty or cannot be read.
CRegion BitmapToRegion(HBITMAP bitmap);

}  // namespace korvex
