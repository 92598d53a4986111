#include "framework/picture_loader.h"

#include <ocidl.h>
#include <olectl.h>

#include "framework/com_ref.h"
#include "framework/file_bytes.h"
#include "framework/memory_stream.h"

namespace korvex {

CBitmap LoadPictureFromMemory(const void* data, std::size_t size) {
  CBitmap result;
  if (!data || size == 0 || size > LONG_MAX) return result;
  CComRef<IStream> stream = CreateMemoryStream(data, size);
  if (!stream) return result;
  CComRef<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(picture.Out()))))
    return result;
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle)) || !handle)
    return result;
  // The picture object owns its bitmap and frees it with itself; keep a copy.
  result.Reset(static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return result;
}

CBitmap LoadPictureFromFile(const wchar_t* path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return {};
  return LoadPictureFromMemory(bytes->data(), bytes->size());
}

SIZE LoadPictureFile(const wchar_t* path, CBitmap& bitmap) {
  CBitmap loaded = LoadPictureFromFile(path);
  if (!loaded) return {0, 0};
  bitmap = std::move(loaded);
  return BitmapSize(bitmap);
}

}  // namespace korvex
