#include "framework/gdiplus_pictures.h"

#include "framework/com_ref.h"
#include "framework/file_bytes.h"
#include "framework/memory_stream.h"

namespace korvex {

CGdiplusSession::CGdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) m_token = token;
}

CGdiplusSession::~CGdiplusSession() {
  if (m_token) Gdiplus::GdiplusShutdown(m_token);
}

std::unique_ptr<Gdiplus::Bitmap> LoadGdiplusBitmapFromMemory(const void* data,
                                                             std::size_t size) {
  if (!data || size == 0) return nullptr;
  CComRef<IStream> stream = CreateMemoryStream(data, size);
  if (!stream) return nullptr;
  Gdiplus::Bitmap decoded(stream.Get());
  if (decoded.GetLastStatus() != Gdiplus::Ok) return nullptr;
  // A bitmap made from a stream may go on reading it; draw it into one of
  // its own so the stream can go now.
  const INT width = static_cast<INT>(decoded.GetWidth());
  const INT height = static_cast<INT>(decoded.GetHeight());
  if (width <= 0 || height <= 0) return nullptr;
  auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics graphics(copy.get());
  graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  if (graphics.DrawImage(&decoded, 0, 0, width, height) != Gdiplus::Ok) return nullptr;
  return copy;
}

std::unique_ptr<Gdiplus::Bitmap> LoadGdiplusBitmap(const wchar_t* path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return nullptr;
  return LoadGdiplusBitmapFromMemory(bytes->data(), bytes->size());
}

}  // namespace korvex
