#pragma once
// Conversions between UTF-16 and the other Unicode encoding forms, done here
// rather than by the platform so that every build decodes them identically.

#include <string>
#include <string_view>

namespace korvex::xml {

// True when every lead byte (110xxxxx, 1110xxxx, 11110xxx) is followed by the
// right number of continuation bytes (10xxxxxx) and there is no lead byte
// 11111xxx, no stray continuation byte and no sequence cut at the end.
bool IsWellFormedUtf8(std::string_view bytes);

// Appends UTF-8 bytes as UTF-16; code points above U+FFFF become surrogate
// pairs and each malformed byte becomes U+FFFD.
void AppendUtf8AsUtf16(std::string_view bytes, std::u16string& text);

// Appends UTF-16 text as UTF-8; an unpaired surrogate becomes U+FFFD.
void AppendUtf16AsUtf8(std::u16string_view text, std::string& bytes);

// UTF-32 in either byte order; values that are no Unicode scalar become U+FFFD.
// A trailing partial unit is ignored.
void AppendUtf32AsUtf16(std::string_view bytes, bool bigEndian, std::u16string& text);
void AppendUtf16AsUtf32(std::u16string_view text, bool bigEndian, std::string& bytes);

// Appends one code point (at most U+10FFFF) as one unit or a surrogate pair.
inline void AppendCodePoint(char32_t c, std::u16string& text) {
  if (c < 0x10000) {
    text.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

}  // namespace korvex::xml
