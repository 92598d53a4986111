#include "framework/memory_stream.h"

#include <windows.h>

#include <cstring>

namespace korvex {

CComRef<IStream> CreateMemoryStream(const void* data, std::size_t size) {
  CComRef<IStream> stream;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (!memory) return stream;
  if (void* bytes = GlobalLock(memory)) {
    if (size) std::memcpy(bytes, data, size);
    GlobalUnlock(memory);
    if (SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {
      // The block may be larger than asked for; the stream ends at the data.
      ULARGE_INTEGER end;
      end.QuadPart = size;
      stream->SetSize(end);
      return stream;
    }
  }
  GlobalFree(memory);
  return stream;
}

}  // namespace korvex
