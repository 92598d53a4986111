#include "framework/file_bytes.h"

#include <windows.h>

namespace korvex {

std::optional<std::vector<std::byte>> ReadWholeFile(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::vector<std::byte>> result;
  LARGE_INTEGER size;
  // Pictures are small; anything beyond 1 GiB is not one of ours.
  if (GetFileSizeEx(file, &size) && size.QuadPart <= (1 << 30)) {
    std::vector<std::byte> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (bytes.empty() ||
        (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
         read == bytes.size()))
      result = std::move(bytes);
  }
  CloseHandle(file);
  return result;
}

}  // namespace korvex
