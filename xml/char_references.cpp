#include "xml/char_references.h"

#include "xml/html_entities.h"
#include "xml/unicode_codec.h"

namespace korvex::xml {
namespace {

constexpr std::size_t kMaxReferenceLength = 9;  // characters between "&" and ";"

int DigitValue(char16_t c, bool hex) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (hex && c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (hex && c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The value of the reference body (between "&" and ";"), or 0 when it is none.
char32_t ReferenceValue(std::u16string_view body) {
  if (body.empty()) return 0;
  if (body[0] != u'#') return FindNamedReference(body);
  bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
  std::u16string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  char32_t value = 0;
  for (char16_t c : digits) {
    int d = DigitValue(c, hex);
    if (d < 0) return 0;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
    if (value > 0x10FFFF) return 0;
  }
  if (value >= 0xD800 && value <= 0xDFFF) return 0;
  return value;
}

}  // namespace

void AppendDecodedText(std::u16string_view text, std::u16string& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t amp = text.find(u'&', i);
    if (amp == std::u16string_view::npos) {
      out.append(text.substr(i));
      return;
    }
    out.append(text.substr(i, amp - i));
    std::u16string_view window = text.substr(amp + 1, kMaxReferenceLength + 1);
    std::size_t semicolon = window.find(u';');
    char32_t value = semicolon == std::u16string_view::npos ? 0 : ReferenceValue(window.substr(0, semicolon));
    if (value == 0) {
      out.push_back(u'&');
      i = amp + 1;
      continue;
    }
    AppendCodePoint(value, out);
    i = amp + 2 + semicolon;
  }
}

void AppendEscapedText(std::u16string_view value, std::u16string& out) {
  for (char16_t c : value) {
    switch (c) {
      case u'<': out += u"&lt;"; break;
      case u'&': out += u"&amp;"; break;
      case u'>': out += u"&gt;"; break;
      default: out.push_back(c);
    }
  }
}

}  // namespace korvex::xml
