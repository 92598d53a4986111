#pragma once
// Flicker-free painting: everything is drawn into a memory bitmap the size of
// the area and copied to the target in one BitBlt when the object goes away.
//
// Drawing uses the target's coordinates (the memory DC's origin is moved to
// the area's corner). When no memory bitmap can be made (an empty area, or
// no resources), Dc() is the target itself and drawing goes there directly.

#include <windows.h>

#include "framework/device_contexts.h"
#include "framework/gdi_objects.h"

namespace korvex {

class COffscreenPaint {
 public:
  COffscreenPaint(HDC target, const RECT& area);
  ~COffscreenPaint();
  COffscreenPaint(const COffscreenPaint&) = delete;
  COffscreenPaint& operator=(const COffscreenPaint&) = delete;

  HDC Dc() const { return m_buffered ? static_cast<HDC>(m_memory) : m_target; }

 private:
  HDC m_target;
  RECT m_area;
  CMemoryDC m_memory;
  CBitmap m_bitmap;
  HGDIOBJ m_previousBitmap = nullptr;
  bool m_buffered = false;
};

}  // namespace korvex
