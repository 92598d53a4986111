#pragma once
// Character classes of the markup, shared by the parser and the cursor.

#include <array>
#include <cstddef>
#include <string_view>

namespace korvex::xml {

// Characters that end a tag name: blank, tab, line feed, carriage return and
// < > = \ / ? ! " ' ;
inline constexpr std::array<bool, 128> kNameEnds = [] {
  std::array<bool, 128> table{};
  for (char c : std::string_view(" \t\n\r<>=\\/?!\"';")) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

inline bool EndsName(char16_t c) { return c < 128 && kNameEnds[c]; }

// Characters that may follow "<" to start a tag name: ASCII letters, "_", ":"
// and anything outside ASCII.
inline bool StartsName(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
         c >= 0x80;
}

inline char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// Compares two names of equal length, exactly or with ASCII letters folded.
inline bool SameName(const char16_t* a, const char16_t* b, std::size_t length, bool ignoreCase) {
  if (!ignoreCase) {
    for (std::size_t i = 0; i < length; ++i)
      if (a[i] != b[i]) return false;
    return true;
  }
  for (std::size_t i = 0; i < length; ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

}  // namespace korvex::xml
