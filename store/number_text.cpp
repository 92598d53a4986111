#include "store/number_text.h"

#include <limits>

namespace {

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

int32_t ParseDecimal(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  // Accumulate towards the sign's limit in 64 bits and stop growing once past it.
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()} : std::numeric_limits<int32_t>::max();
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - u'0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

std::u16string FormatDecimal(int32_t value) {
  // Work on the magnitude in 64 bits so that INT32_MIN needs no special case.
  int64_t v = value;
  bool negative = v < 0;
  if (negative) v = -v;
  char16_t digits[12];
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  std::u16string text;
  if (negative) text += u'-';
  while (n > 0) text += digits[--n];
  return text;
}
