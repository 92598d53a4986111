#include "xml/windows_1252.h"

#include <array>
#include <cstdint>

namespace korvex::xml {
namespace {

// Characters of the bytes 0x80 to 0x9F; every other byte is its own code point.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool ToByte(char16_t c, unsigned char& byte) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    byte = static_cast<unsigned char>(c);
    return true;
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) {
      byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void AppendWindows1252AsUtf16(std::string_view bytes, std::u16string& text) {
  text.reserve(text.size() + bytes.size());
  for (char b : bytes) {
    auto byte = static_cast<unsigned char>(b);
    text.push_back(byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte});
  }
}

void AppendUtf16AsWindows1252(std::u16string_view text, std::string& bytes, bool& lost) {
  bytes.reserve(bytes.size() + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char byte;
    if (ToByte(text[i], byte)) {
      bytes.push_back(static_cast<char>(byte));
      continue;
    }
    // One '?' for the character, a surrogate pair included.
    lost = true;
    bytes.push_back('?');
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
  }
}

}  // namespace korvex::xml
