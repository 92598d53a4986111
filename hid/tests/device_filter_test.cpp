#include "hid/device_filter.h"

#include <gtest/gtest.h>

namespace korvex::hid {
namespace {

usbwarden::DeviceFilter KeyboardFilter(uint32_t pairCount) {
  usbwarden::DeviceFilter filter{};
  filter.VendorID = 0x258A;
  filter.ProductID = 0x0090;
  filter.PairCount = pairCount;
  for (uint32_t k = 0; k < usbwarden::kMaxPairs; ++k) filter.Pairs[k] = {k + 1, 0xFF00};
  return filter;
}

struct MatchCase {
  const char* name;
  uint32_t pairCount;
  InterfaceIdentity identity;
  bool matches;
};

TEST(DeviceFilterTest, MatchesVendorProductAndOneCountedPair) {
  const MatchCase cases[] = {
      {"first pair", 5, {0x258A, 0x0090, 1, 0xFF00}, true},
      {"last counted pair", 5, {0x258A, 0x0090, 5, 0xFF00}, true},
      {"pair beyond the count", 5, {0x258A, 0x0090, 6, 0xFF00}, false},
      {"other vendor", 5, {0x258B, 0x0090, 1, 0xFF00}, false},
      {"other product", 5, {0x258A, 0x0091, 1, 0xFF00}, false},
      {"usage on another page", 5, {0x258A, 0x0090, 1, 0x0001}, false},
      {"empty filter", 0, {0x258A, 0x0090, 1, 0xFF00}, false},
      {"all ten pairs", 10, {0x258A, 0x0090, 10, 0xFF00}, true},
      {"count beyond the record is cut to ten", 0xFFFFFFFF, {0x258A, 0x0090, 10, 0xFF00}, true},
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(MatchesFilter(KeyboardFilter(c.pairCount), c.identity), c.matches) << c.name;
}

TEST(DeviceFilterTest, AllZeroFilterMatchesNothing) {
  EXPECT_FALSE(MatchesFilter(usbwarden::DeviceFilter{}, {0, 0, 0, 0}));
}

TEST(DeviceFilterTest, DeviceStateCarriesUsageHighAndPageLow) {
  const usbwarden::DeviceState opened = MakeDeviceState(true, 0x0102, {0x258A, 0x0090, 2, 0xFF00});
  EXPECT_EQ(opened.State, 1u);
  EXPECT_EQ(opened.DeviceID, 0x0102u);
  EXPECT_EQ(opened.UsageWord, 0x00020000u);
  EXPECT_EQ(opened.UsagePage, 0xFF00u);
  EXPECT_EQ(MakeDeviceState(false, 7, {}).State, 0u);
}

}  // namespace
}  // namespace korvex::hid
