#pragma once
// Pictures made by the tests: bitmaps drawn pixel by pixel, BMP files written
// by hand, other formats encoded with GDI+, and pixels read back.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "framework/gdi_objects.h"

namespace korvex::test {

// A DIB section of the given bit depth (24 or 32) with these pixels.
CBitmap MakeBitmap(int width, int height, int bitsPerPixel,
                   const std::vector<COLORREF>& topDownPixels);

// A 24-bit BMP file image (bottom-up rows padded to four bytes).
std::vector<std::byte> MakeBmpFile(int width, int height,
                                   const std::vector<COLORREF>& topDownPixels);

// Encodes the pixels with the GDI+ encoder of this MIME type into `path`.
// GDI+ must be running.
bool EncodeWithGdiplus(const std::wstring& path, const wchar_t* mimeType, int width,
                       int height, const std::vector<COLORREF>& topDownPixels);

// A fresh path in the temporary folder ending in `suffix`.
std::wstring TempPath(const wchar_t* suffix);
bool WriteFileBytes(const std::wstring& path, const void* data, std::size_t size);

COLORREF PixelAt(HBITMAP bitmap, int x, int y);

// True when each channel differs by at most `tolerance`.
bool NearColour(COLORREF actual, COLORREF expected, int tolerance);

}  // namespace korvex::test
