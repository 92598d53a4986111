#include "framework/bitmap_region.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/device_contexts.h"

namespace korvex {
namespace {

// Rectangles per ExtCreateRegion call: large masks are built in batches.
constexpr size_t kBatchSize = 2000;

// The pixels as 0x00RRGGBB words, rows from the top.
bool ReadPixels(HBITMAP bitmap, SIZE size, std::vector<uint32_t>& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels.assign(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy), 0);
  CMemoryDC dc;
  return GetDIBits(dc, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info,
                   DIB_RGB_COLORS) == size.cy;
}

// Collects one-pixel-high rectangles and turns each full batch into a region
// joined to the result. A batch that GDI refuses spoils the whole result:
// a shape with holes in it would be worse than none.
class RegionBuilder {
 public:
  void Add(LONG left, LONG top, LONG right) {
    m_rects.push_back({left, top, right, top + 1});
    if (m_rects.size() == kBatchSize) Flush();
  }

  CRegion Finish() {
    Flush();
    if (m_failed) return {};
    return std::move(m_result);
  }

 private:
  void Flush() {
    if (m_rects.empty()) return;
    std::vector<std::byte> buffer(sizeof(RGNDATAHEADER) + m_rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(m_rects.size());
    data->rdh.nRgnSize = static_cast<DWORD>(m_rects.size() * sizeof(RECT));
    RECT bounds = m_rects.front();
    for (const RECT& r : m_rects) {
      if (r.left < bounds.left) bounds.left = r.left;
      if (r.right > bounds.right) bounds.right = r.right;
      if (r.bottom > bounds.bottom) bounds.bottom = r.bottom;
    }
    data->rdh.rcBound = bounds;
    std::memcpy(data->Buffer, m_rects.data(), m_rects.size() * sizeof(RECT));
    m_rects.clear();

    CRegion batch(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
    if (!batch)
      m_failed = true;
    else if (!m_result)
      m_result = std::move(batch);
    else if (CombineRgn(m_result, m_result, batch, RGN_OR) == ERROR)
      m_failed = true;
  }

  std::vector<RECT> m_rects;
  CRegion m_result;
  bool m_failed = false;
};

}  // namespace

CRegion BitmapToRegion(HBITMAP bitmap) {
  SIZE size = BitmapSize(bitmap);
  if (size.cx <= 0 || size.cy <= 0) return {};
  std::vector<uint32_t> pixels;
  if (!ReadPixels(bitmap, size, pixels)) return {};

  constexpr uint32_t kWhite = 0x00FFFFFF;
  RegionBuilder builder;
  for (LONG y = 0; y < size.cy; ++y) {
    const uint32_t* row = &pixels[static_cast<size_t>(y) * static_cast<size_t>(size.cx)];
    LONG x = 0;
    while (x < size.cx) {
      while (x < size.cx && (row[x] & kWhite) == kWhite) ++x;
      LONG start = x;
      while (x < size.cx && (row[x] & kWhite) != kWhite) ++x;
      if (x > start) builder.Add(start, y, x);
    }
  }
  return builder.Finish();
}

bool SetWindowShape(HWND window, CRegion region) {
  if (!window || !region) return false;
  if (!SetWindowRgn(window, region, TRUE)) return false;
  region.Release();  // the window owns it now
  return true;
}

}  // namespace korvex
