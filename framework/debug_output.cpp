#include "framework/debug_output.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace korvex {
namespace {

constexpr size_t kMaxLine = 1024;

std::wstring FormatWideList(const wchar_t* format, va_list args) {
  wchar_t buffer[kMaxLine];
  // _vsnwprintf keeps the Windows meaning of "%s" in wide formats; it does
  // not terminate a text that fills the buffer, hence the explicit end.
  int length = _vsnwprintf(buffer, kMaxLine - 1, format, args);
  if (length < 0 || static_cast<size_t>(length) >= kMaxLine - 1) length = kMaxLine - 1;
  buffer[length] = L'\0';
  return std::wstring(buffer, static_cast<size_t>(length));
}

}  // namespace

std::wstring FormatWide(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatWideList(format, args);
  va_end(args);
  return text;
}

void DebugPrint(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatWideList(format, args);
  va_end(args);
  OutputDebugStringW(text.c_str());
}

}  // namespace korvex
