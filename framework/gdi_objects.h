#pragma once
// Owners of GDI objects: each deletes its object when it goes away.
//
// Move-only. Converts implicitly to the raw handle so it can be handed to
// GDI calls; Release gives up ownership (for example to SetWindowRgn, which
// takes the region over).

#include <windows.h>

#include <utility>

namespace korvex {

template <typename Handle>
class CGdiObject {
 public:
  CGdiObject() = default;
  explicit CGdiObject(Handle handle) : m_handle(handle) {}
  ~CGdiObject() { Reset(); }
  CGdiObject(CGdiObject&& other) noexcept : m_handle(other.Release()) {}
  CGdiObject& operator=(CGdiObject&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  Handle Get() const { return m_handle; }
  operator Handle() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }

  Handle Release() { return std::exchange(m_handle, nullptr); }
  void Reset(Handle handle = nullptr) {
    if (m_handle && m_handle != handle) DeleteObject(m_handle);
    m_handle = handle;
  }

 private:
  Handle m_handle = nullptr;
};

using CBitmap = CGdiObject<HBITMAP>;
using CBrush = CGdiObject<HBRUSH>;
using CPen = CGdiObject<HPEN>;
using CFont = CGdiObject<HFONT>;
using CRegion = CGdiObject<HRGN>;

// Width and height of a bitmap; (0, 0) for none.
SIZE BitmapSize(HBITMAP bitmap);

}  // namespace korvex
