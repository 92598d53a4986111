#include "store/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedText, CopyZeroFillsAndCutsAtCapacity) {
  const struct { std::u16string_view src; std::u16string_view stored; } cases[] = {
      {u"", u""},
      {u"ab", u"ab"},
      {u"abcd", u"abcd"},      // exactly capacity - 1
      {u"abcde", u"abcd"},     // one too many
      {u"abcdefgh", u"abcd"},
      {u"abc\U0001F600", u"abc"},   // a pair that does not fit whole is left out
      {u"ab\U0001F600", u"ab\U0001F600"},
  };
  for (const auto& c : cases) {
    char16_t dst[5];
    for (auto& ch : dst) ch = u'#';
    CopyFixedText(dst, c.src);
    EXPECT_EQ(FixedTextView(dst), c.stored);
    for (std::size_t i = c.stored.size(); i < 5; ++i) EXPECT_EQ(dst[i], 0) << i;
  }
}

TEST(FixedText, ViewStopsAtFirstNulOrCapacity) {
  char16_t full[3] = {u'x', u'y', u'z'};
  EXPECT_EQ(FixedTextView(full), u"xyz");
  char16_t inner[4] = {u'a', 0, u'b', 0};
  EXPECT_EQ(FixedTextView(inner), u"a");
}

}  // namespace
