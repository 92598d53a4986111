#pragma once
// Pictures (BMP, JPEG, GIF) decoded by the system's OLE picture loader into
// bitmaps that we own.

#include <windows.h>

#include <cstddef>

#include "framework/gdi_objects.h"

namespace korvex {

// The decoded picture as a DIB section; empty when the bytes are no picture
// of a bitmap kind.
CBitmap LoadPictureFromMemory(const void* data, std::size_t size);

// The picture in the file; empty when the file cannot be read or decoded.
CBitmap LoadPictureFromFile(const wchar_t* path);

// Loads the picture in `path` into `bitmap` (which frees the one it held) and
// returns its width and height. When the file cannot be opened or decoded,
// `bitmap` is left as it was and the result is (0, 0).
SIZE LoadPictureFile(const wchar_t* path, CBitmap& bitmap);

}  // namespace korvex
