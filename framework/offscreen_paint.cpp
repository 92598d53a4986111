#include "framework/offscreen_paint.h"

namespace korvex {

COffscreenPaint::COffscreenPaint(HDC target, const RECT& area)
    : m_target(target), m_area(area), m_memory(target) {
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  if (!m_memory || width <= 0 || height <= 0) return;
  m_bitmap.Reset(CreateCompatibleBitmap(target, width, height));
  if (!m_bitmap) return;
  m_previousBitmap = SelectObject(m_memory, m_bitmap);
  SetViewportOrgEx(m_memory, -area.left, -area.top, nullptr);
  m_buffered = true;
}

COffscreenPaint::~COffscreenPaint() {
  if (!m_buffered) return;
  SetViewportOrgEx(m_memory, 0, 0, nullptr);
  BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left,
         m_area.bottom - m_area.top, m_memory, 0, 0, SRCCOPY);
  SelectObject(m_memory, m_previousBitmap);
}

}  // namespace korvex
