#pragma once
// Scoped device contexts and object selection.

#include <windows.h>

namespace korvex {

// The client area DC of a window (GetDC / ReleaseDC).
class CClientDC {
 public:
  explicit CClientDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
  ~CClientDC() {
    if (m_dc) ReleaseDC(m_window, m_dc);
  }
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;
  operator HDC() const { return m_dc; }

 private:
  HWND m_window;
  HDC m_dc;
};

// The DC of a WM_PAINT handler (BeginPaint / EndPaint).
class CPaintDC {
 public:
  explicit CPaintDC(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
  ~CPaintDC() { EndPaint(m_window, &m_paint); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  operator HDC() const { return m_dc; }
  const PAINTSTRUCT& Paint() const { return m_paint; }

 private:
  HWND m_window;
  PAINTSTRUCT m_paint{};
  HDC m_dc;
};

// A memory DC compatible with `like` (the screen when null).
class CMemoryDC {
 public:
  explicit CMemoryDC(HDC like = nullptr) : m_dc(CreateCompatibleDC(like)) {}
  ~CMemoryDC() {
    if (m_dc) DeleteDC(m_dc);
  }
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;
  operator HDC() const { return m_dc; }

 private:
  HDC m_dc;
};

// Selects an object into a DC and puts the previous one back on exit, so an
// owned object is never deleted while still selected.
class CSelectObject {
 public:
  CSelectObject(HDC dc, HGDIOBJ object)
      : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr) {}
  ~CSelectObject() {
    if (m_previous) SelectObject(m_dc, m_previous);
  }
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

}  // namespace korvex
