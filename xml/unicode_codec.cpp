#include "xml/unicode_codec.h"

#include <cstdint>

namespace korvex::xml {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Number of continuation bytes a lead byte announces; -1 for a byte that
// cannot start a sequence.
int ContinuationCount(unsigned char b) {
  if (b < 0x80) return 0;
  if ((b & 0xE0) == 0xC0) return 1;
  if ((b & 0xF0) == 0xE0) return 2;
  if ((b & 0xF8) == 0xF0) return 3;
  return -1;
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

bool IsScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

}  // namespace

bool IsWellFormedUtf8(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    int more = ContinuationCount(b);
    if (more < 0 || n - i - 1 < static_cast<std::size_t>(more)) return false;
    for (int k = 1; k <= more; ++k)
      if (!IsContinuation(static_cast<unsigned char>(bytes[i + k]))) return false;
    i += 1 + more;
  }
  return true;
}

void AppendUtf8AsUtf16(std::string_view bytes, std::u16string& text) {
  text.reserve(text.size() + bytes.size());
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      text.push_back(b);
      ++i;
      continue;
    }
    int more = ContinuationCount(b);
    bool ok = more > 0 && n - i - 1 >= static_cast<std::size_t>(more);
    char32_t c = more > 0 ? (b & (0x3F >> more)) : 0;
    for (int k = 1; ok && k <= more; ++k) {
      auto t = static_cast<unsigned char>(bytes[i + k]);
      ok = IsContinuation(t);
      c = (c << 6) | (t & 0x3F);
    }
    // Overlong forms and non-scalars are malformed as well.
    static constexpr char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
    if (!ok || c < kMinimum[more] || !IsScalar(c)) {
      text.push_back(kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(c, text);
    i += 1 + more;
  }
}

namespace {

// Decodes the code point at text[i], advancing i; unpaired surrogates give
// U+FFFD.
char32_t NextCodePoint(std::u16string_view text, std::size_t& i) {
  char32_t c = text[i++];
  if (c >= 0xD800 && c <= 0xDBFF) {
    if (i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
      return 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    return kReplacement;
  }
  if (c >= 0xDC00 && c <= 0xDFFF) return kReplacement;
  return c;
}

}  // namespace

void AppendUtf16AsUtf8(std::u16string_view text, std::string& bytes) {
  bytes.reserve(bytes.size() + text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t c = NextCodePoint(text, i);
    if (c < 0x80) {
      bytes.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xF0 | (c >> 18)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}

void AppendUtf32AsUtf16(std::string_view bytes, bool bigEndian, std::u16string& text) {
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    char32_t c = 0;
    for (int k = 0; k < 4; ++k) {
      auto b = static_cast<unsigned char>(bytes[i + (bigEndian ? k : 3 - k)]);
      c = (c << 8) | b;
    }
    AppendCodePoint(IsScalar(c) ? c : kReplacement, text);
  }
}

void AppendUtf16AsUtf32(std::u16string_view text, bool bigEndian, std::string& bytes) {
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t c = NextCodePoint(text, i);
    for (int k = 0; k < 4; ++k) {
      int shift = bigEndian ? 24 - 8 * k : 8 * k;
      bytes.push_back(static_cast<char>((c >> shift) & 0xFF));
    }
  }
}

}  // namespace korvex::xml
