#include "framework/tests/test_pictures.h"

#include "framework/gdiplus_pictures.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/device_contexts.h"

namespace korvex::test {

CBitmap MakeBitmap(int width, int height, int bitsPerPixel,
                   const std::vector<COLORREF>& topDownPixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  CBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return bitmap;
  const int bytesPerPixel = bitsPerPixel / 8;
  const int stride = (width * bytesPerPixel + 3) & ~3;
  auto* rows = static_cast<unsigned char*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      COLORREF c = topDownPixels[static_cast<size_t>(y * width + x)];
      unsigned char* p = rows + y * stride + x * bytesPerPixel;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      if (bytesPerPixel == 4) p[3] = 0;
    }
  }
  GdiFlush();
  return bitmap;
}

std::vector<std::byte> MakeBmpFile(int width, int height,
                                   const std::vector<COLORREF>& topDownPixels) {
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  const size_t headers = sizeof(file) + sizeof(header);
  const size_t total = headers + static_cast<size_t>(stride) * height;
  file.bfType = 0x4D42;  // "BM"
  file.bfSize = static_cast<DWORD>(total);
  file.bfOffBits = static_cast<DWORD>(headers);
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;  // bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::vector<std::byte> bytes(total);
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + sizeof(file), &header, sizeof(header));
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<unsigned char*>(bytes.data() + headers) +
                static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      COLORREF c = topDownPixels[static_cast<size_t>(y * width + x)];
      row[x * 3 + 0] = GetBValue(c);
      row[x * 3 + 1] = GetGValue(c);
      row[x * 3 + 2] = GetRValue(c);
    }
  }
  return bytes;
}

namespace {

bool FindEncoder(const wchar_t* mimeType, CLSID& clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<std::byte> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
      clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool EncodeWithGdiplus(const std::wstring& path, const wchar_t* mimeType, int width,
                       int height, const std::vector<COLORREF>& topDownPixels) {
  CLSID encoder;
  if (!FindEncoder(mimeType, encoder)) return false;
  Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      COLORREF c = topDownPixels[static_cast<size_t>(y * width + x)];
      bitmap.SetPixel(x, y, Gdiplus::Color(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  }
  return bitmap.Save(path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

std::wstring TempPath(const wchar_t* suffix) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  static int counter = 0;
  return std::wstring(folder) + L"korvex_fw_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(++counter) + suffix;
}

bool WriteFileBytes(const std::wstring& path, const void* data, std::size_t size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

COLORREF PixelAt(HBITMAP bitmap, int x, int y) {
  CMemoryDC dc;
  CSelectObject select(dc, bitmap);
  return GetPixel(dc, x, y);
}

bool NearColour(COLORREF actual, COLORREF expected, int tolerance) {
  return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
         std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
         std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

}  // namespace korvex::test
