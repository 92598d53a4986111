#pragma once
// Text in the records' fixed wide-character arrays. The capacity includes the
// terminator, so an array of N holds at most N - 1 characters; longer text is
// cut. A cut never leaves the first half of a surrogate pair at the end.

#include <cstddef>
#include <string_view>

template <std::size_t N>
void CopyFixedText(char16_t (&dst)[N], std::u16string_view src) {
  static_assert(N > 0);
  std::size_t n = src.size() < N - 1 ? src.size() : N - 1;
  if (n < src.size() && n > 0 && src[n - 1] >= 0xD800 && src[n - 1] <= 0xDBFF) --n;
  std::size_t i = 0;
  for (; i < n; ++i) dst[i] = src[i];
  for (; i < N; ++i) dst[i] = 0;
}

template <std::size_t N>
std::u16string_view FixedTextView(const char16_t (&src)[N]) {
  std::size_t n = 0;
  while (n < N && src[n] != 0) ++n;
  return std::u16string_view(src, n);
}
