#pragma once
// GDI+: the session that must be open while GDI+ is used, and pictures
// loaded as GDI+ bitmaps (any format GDI+ decodes).

#include <windows.h>
// Needed by the GDI+ headers and left out by WIN32_LEAN_AND_MEAN.
#include <objidl.h>

#include <gdiplus.h>

#include <cstddef>
#include <memory>

namespace korvex {

// Starts GDI+ when made and shuts it down when it goes away. Every GDI+
// object must be gone before the session ends.
class CGdiplusSession {
 public:
  CGdiplusSession();
  ~CGdiplusSession();
  CGdiplusSession(const CGdiplusSession&) = delete;
  CGdiplusSession& operator=(const CGdiplusSession&) = delete;

  bool Started() const { return m_token != 0; }

 private:
  ULONG_PTR m_token = 0;
};

// Null when the file cannot be read or decoded. The file is read into memory
// first, so it is not kept open or locked while the bitmap lives.
std::unique_ptr<Gdiplus::Bitmap> LoadGdiplusBitmap(const wchar_t* path);
std::unique_ptr<Gdiplus::Bitmap> LoadGdiplusBitmapFromMemory(const void* data,
                                                             std::size_t size);

}  // namespace korvex
