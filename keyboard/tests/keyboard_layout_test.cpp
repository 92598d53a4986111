#include "keyboard/keyboard_layout.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace keyboard;

// Every matrix position but row 0 / column 14 (which the per-key colour download
// never addresses) is either a key, a first-column position or an unused
// position; key 110 shares position 0 with the first column. A typo in one of
// the tables breaks this partition.
TEST(KeyboardLayout, KeysAndFreePositionsCoverTheMatrixExactlyOnce) {
  const int kNeverAddressed = MatrixPosition(0, 14);
  std::multiset<int> seen;
  for (int i = 0; i < 110; ++i) seen.insert(kKeyMatrixPosition[i]);
  for (auto p : kFirstColumnPositions) seen.insert(p);
  for (auto p : kUnusedPositions) seen.insert(p);
  EXPECT_EQ(seen.size(), static_cast<size_t>(kMatrixSize - 1));
  for (int p = 0; p < kMatrixSize; ++p)
    EXPECT_EQ(seen.count(p), p == kNeverAddressed ? 0u : 1u) << "position " << p;
  EXPECT_EQ(kKeyMatrixPosition[110], 0);
}

TEST(KeyboardLayout, KnownKeysSitWhereTheKeyboardHasThem) {
  EXPECT_EQ(kKeyMatrixPosition[0], MatrixPosition(0, 1));    // Esc
  EXPECT_EQ(kKeyMatrixPosition[15], 18);
  EXPECT_EQ(kKeyMatrixPosition[41], 51);                     // row 2, column 5
  EXPECT_EQ(kDefaultKeyMap[kKeyMatrixPosition[0]], 0x29);    // Esc
  EXPECT_EQ(kDefaultKeyMap[kKeyMatrixPosition[58]], 0x39);   // Caps Lock
  EXPECT_EQ(kDefaultKeyMap[MatrixPosition(5, 21)], 0x63);
  // Unused positions produce nothing.
  for (auto p : kUnusedPositions) EXPECT_EQ(kDefaultKeyMap[p], 0) << "position " << int(p);
}

}  // namespace
