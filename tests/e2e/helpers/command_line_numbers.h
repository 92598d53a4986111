#pragma once
// Numbers typed on a helper's command line: decimal, or hexadecimal after 0x.

#include <cwchar>
#include <optional>
#include <string_view>

inline std::optional<long long> ParseNumber(const wchar_t* text) {
  if (!text || !*text) return std::nullopt;
  wchar_t* end = nullptr;
  const long long value = std::wcstoll(text, &end, 0);
  if (!end || *end != L'\0') return std::nullopt;
  return value;
}
