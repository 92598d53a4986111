#include "service/download_payloads.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kKey41 = 41;  // row 2, column 5: matrix position 51

struct KeyMapCase {
  uint8_t bySelFunc;
  int32_t byBtnFun;
  uint8_t byKeyNumber;
  uint8_t expected;  // the byte at key 41's position; 0x15 is its factory code
};

class KeyMapTable : public testing::TestWithParam<KeyMapCase> {};

TEST_P(KeyMapTable, AssignmentDecidesTheKeysByte) {
  const KeyMapCase& c = GetParam();
  auto profile = std::make_unique<tagPROFILE_DATA>();
  profile->keys[kKey41].bySelFunc = c.bySelFunc;
  profile->keys[kKey41].byBtnFun = c.byBtnFun;
  profile->keys[kKey41].byKeyNumber = c.byKeyNumber;

  KeyMap expected = keyboard::kDefaultKeyMap;
  expected[51] = c.expected;
  EXPECT_EQ(BuildKeyMap(*profile), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Assignments, KeyMapTable,
    testing::Values(KeyMapCase{1, 0x180, 0, 0xFE},    // launch: reported to the host
                    KeyMapCase{1, 0x1A5, 0, 0xD3}, KeyMapCase{1, 0x1E7, 0, 0xBB},
                    KeyMapCase{1, 0x1D1, 0x2C, 0x2C},  // single key sends its code
                    KeyMapCase{1, 0x1D1, 0, 0x15},     // ... but not code 0
                    KeyMapCase{1, 0x1D2, 0, 0xE8}, KeyMapCase{1, 0x1D3, 0, 0x00},
                    KeyMapCase{1, 0x200, 0, 0xCD}, KeyMapCase{1, 0xFFFF, 0, 0xCD},
                    KeyMapCase{1, 0x10000, 0, 0x15}, KeyMapCase{1, 0x1E1, 0, 0xCD},
                    KeyMapCase{1, 0x1E3, 0, 0xCD}, KeyMapCase{1, 0x1E4, 0, 0xCD},
                    KeyMapCase{1, 0x1E6, 0, 0x15},     // mail: the keyboard has no byte for it
                    KeyMapCase{1, 0x1FF, 0, 0x15}, KeyMapCase{1, -1, 0, 0x15},
                    KeyMapCase{0, 0x1D3, 0, 0x15},     // bySelFunc 0: the key keeps its function
                    KeyMapCase{7, 0x1C3, 0, 0xA9}));

TEST(BuildKeyMap, KeysLandAtTheirMatrixPositions) {
  auto profile = std::make_unique<tagPROFILE_DATA>();
  for (int i = 0; i < keyboard::kKeyCount; ++i) {
    profile->keys[i].bySelFunc = 1;
    profile->keys[i].byBtnFun = 0x1D1;
    profile->keys[i].byKeyNumber = static_cast<uint8_t>(i + 1);
  }
  const KeyMap map = BuildKeyMap(*profile);
  EXPECT_EQ(map[0], 111);   // key 110
  EXPECT_EQ(map[1], 1);     // key 0
  EXPECT_EQ(map[51], 42);   // key 41
  EXPECT_EQ(map[37], 109);  // key 108 at row 1, column 14
  for (uint8_t free : keyboard::kUnusedPositions) EXPECT_EQ(map[free], keyboard::kDefaultKeyMap[free]);
}

TEST(BuildMacroPayload, RepeatHighByteFirstThenTheEventsThenPadding) {
  tagMACRO_DATA macro{};
  macro.Repeat = 0x0102;
  for (int e = 0; e < MACRO_EVENT_COUNT; ++e)
    macro.events[e] = {static_cast<uint8_t>(e), static_cast<uint8_t>(0x80 + e), static_cast<uint8_t>(0xFF - e)};
  const MacroPayload payload = BuildMacroPayload(macro);
  EXPECT_EQ(payload[0], 0x01);
  EXPECT_EQ(payload[1], 0x02);
  EXPECT_EQ(payload[2], 0);
  EXPECT_EQ(payload[3], 0x80);
  EXPECT_EQ(payload[4], 0xFF);
  EXPECT_EQ(payload[2 + 3 * 79], 79);
  EXPECT_EQ(payload[241], 0xFF - 79);
  for (int i = 242; i < 246; ++i) EXPECT_EQ(payload[i], 0) << i;
}

TEST(ChooseMacroFile, ExactNameElseTheFirstListedElseNone) {
  const std::vector<std::u16string> listed = {u"Beta", u"alpha", u"Alpha"};
  EXPECT_EQ(ChooseMacroFile(listed, u"Alpha"), u"Alpha");
  EXPECT_EQ(ChooseMacroFile(listed, u"ALPHA"), u"Beta");
  EXPECT_EQ(ChooseMacroFile(listed, u""), u"Beta");
  EXPECT_EQ(ChooseMacroFile({}, u"Alpha"), std::nullopt);
}

}  // namespace
