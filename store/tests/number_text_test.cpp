#include "store/number_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(NumberText, ParseDecimal) {
  const struct { std::u16string_view text; int32_t value; } cases[] = {
      {u"0", 0},
      {u"42", 42},
      {u"-17", -17},
      {u"+8", 8},
      {u"  \t\r\n 12", 12},
      {u"12abc", 12},
      {u"0x10", 0},
      {u"1 2", 1},
      {u"", 0},
      {u"abc", 0},
      {u"-", 0},
      {u"- 5", 0},
      {u"2147483647", INT_MAX},
      {u"2147483648", INT_MAX},
      {u"99999999999999999999999", INT_MAX},
      {u"-2147483648", INT_MIN},
      {u"-2147483649", INT_MIN},
      {u"16777215", 16777215},
      {u"\u00B2", 0},  // superscript two is not a decimal digit
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseDecimal(c.text), c.value) << std::string(c.text.begin(), c.text.end());
}

TEST(NumberText, FormatDecimal) {
  const struct { int32_t value; std::u16string_view text; } cases[] = {
      {0, u"0"}, {7, u"7"}, {-1, u"-1"}, {16777215, u"16777215"}, {INT_MAX, u"2147483647"}, {INT_MIN, u"-2147483648"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDecimal(c.value), c.text);
    EXPECT_EQ(ParseDecimal(FormatDecimal(c.value)), c.value);
  }
}

}  // namespace
