#pragma once
// A read-only-use IStream over a private copy of some bytes.

#include <objidl.h>

#include <cstddef>

#include "framework/com_ref.h"

namespace korvex {

// The stream owns its copy (freed with the stream); null when out of memory.
CComRef<IStream> CreateMemoryStream(const void* data, std::size_t size);

}  // namespace korvex
