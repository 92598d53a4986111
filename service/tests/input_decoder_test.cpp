#include "service/input_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "service/hid_messages.h"
#include "service/key_event.h"

namespace {

using Bytes = std::vector<uint8_t>;

DecodedPost Event(uint8_t code, uint8_t eventClass, uint8_t flag) {
  return {PostTarget::kServiceWindow, WM_HID_KEY_EVENT, code, MakeKeyEventLParam(eventClass, flag)};
}
DecodedPost Special(uintptr_t on) { return {PostTarget::kSettingsPage, WM_HID_SPECIAL_STATE, on, 0}; }

// Decodes exactly the given bytes from a buffer of that size, so a read past
// the end is caught by the sanitizers.
std::vector<DecodedPost> Decode(const Bytes& bytes) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + 1]);
  if (!bytes.empty()) std::memcpy(exact.get(), bytes.data(), bytes.size());
  return DecodeInputReport(exact.get(), bytes.size());
}

struct DecodeCase {
  const char* name;
  Bytes report;
  std::vector<DecodedPost> posts;
};

class DecodeTable : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, PostsWhatTheReportStandsFor) { EXPECT_EQ(Decode(GetParam().report), GetParam().posts); }

const DecodeCase kCases[] = {
    {"Empty", {}, {}},
    {"ProfileSwitchedOnKeyboard", {0x0D, 0x03, 0x06, 0, 0, 0, 0, 0}, {Event(0x06, 0xDA, 1)}},
    {"ProfileSwitchWithoutPosition", {0x0D, 0x03}, {}},
    {"HostKeyPress", {0x0D, 0x05, 0x00, 0x12, 0, 0, 0, 0}, {Event(0xDE, 0x12, 1)}},
    {"HostKeyPressWithoutPosition", {0x0D, 0x05, 0x00}, {}},
    {"EffectChanged", {0x00, 0x00, 0x01, 0x01, 0x05, 0, 0, 0}, {Event(0x05, 0xDF, 1)}},
    {"DirectionChanged", {0x00, 0x02, 0x0C, 0x01, 0, 0, 0, 0}, {Event(0x01, 0xDB, 1)}},
    {"BrightnessChanged", {0x00, 0x00, 0x01, 0x07, 0x03, 0, 0, 0}, {Event(0x03, 0xDC, 1)}},
    {"EffectWithoutCode", {0x00, 0x00, 0x01, 0x01}, {}},
    {"KeyPressReported", {0x08, 0x12, 0x01, 0xFE, 0, 0, 0, 0}, {Event(0xFE, 0x12, 0x01)}},
    {"KeyReleaseReported", {0x08, 0x12, 0x00, 0xFE}, {Event(0xFE, 0x12, 0x00)}},
    {"ProfileSelected", {0x08, 0xFE, 0x04, 0x02, 0, 0, 0, 0}, {Event(0x02, 0xFE, 0x04)}},
    {"CodeAcIsNeverReported", {0x08, 0x12, 0x01, 0xAC, 0, 0, 0, 0}, {}},
    {"KeyReportWithoutCode", {0x08, 0x12, 0x01}, {}},
    {"SpecialStateOn", {0x08, 0xFE, 0x06, 0x00, 0, 0, 0, 0}, {Special(1)}},
    {"SpecialStateOff", {0x08, 0xFE, 0x05, 0x00, 0, 0, 0, 0}, {Special(0)}},
    {"SpecialStateNeedsCode", {0x08, 0xFE, 0x06}, {}},
    {"DirectionAndKeyEvent", {0x08, 0x02, 0x0C, 0x05, 0, 0, 0, 0}, {Event(0x05, 0xDB, 1), Event(0x05, 0x02, 0x0C)}},
    {"EffectAndKeyEvent", {0x08, 0x30, 0x01, 0x01, 0x04}, {Event(0x04, 0xDF, 1), Event(0x01, 0x30, 0x01)}},
    {"AcknowledgementConsumed", {0x08, 0x00, 0x07, 0x00, 0x03, 0xD6, 0x00, 0x00, 0x00}, {}},
    {"AcknowledgementOneConsumed", {0x08, 0x00, 0x07, 0x00, 0x03, 0xD6, 0x01, 0x00, 0x00}, {}},
    {"AcknowledgementOtherIsKeyEvent", {0x08, 0x00, 0x07, 0x00, 0x03, 0xD6, 0x02, 0x00, 0x00}, {Event(0x00, 0x00, 0x07)}},
    {"AcknowledgementOtherNotFromKeyReport", {0x0D, 0x00, 0x07, 0x00, 0x03, 0xD6, 0x02, 0x00, 0x00}, {}},
    // Eight bytes cannot be the nine-byte acknowledgement: handled as a key report.
    {"ShortAcknowledgementIsKeyEvent", {0x08, 0x00, 0x07, 0x00, 0x03, 0xD6, 0x00, 0x00}, {Event(0x00, 0x00, 0x07)}},
    {"UnknownReport", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}, {}},
};
INSTANTIATE_TEST_SUITE_P(Reports, DecodeTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

// Whatever lies beyond the delivered length must not change the result:
// bytes chosen to complete every rule are placed there and must be ignored.
TEST(DecodeInputReport, IgnoresBytesBeyondTheDeliveredLength) {
  const Bytes reports[] = {
      {0x08, 0x00, 0x07, 0x00, 0x03, 0xD6, 0x00, 0x00, 0x00},
      {0x0D, 0x03, 0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A},
      {0x0D, 0x05, 0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A},
      {0x08, 0x02, 0x0C, 0x01, 0x01, 0x07, 0x00, 0x00, 0x00},
      {0x08, 0xFE, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
  };
  const Bytes tails[] = {Bytes(16, 0x00), Bytes(16, 0x01), Bytes(16, 0xFE), Bytes(16, 0x08)};
  for (const Bytes& report : reports) {
    for (size_t length = 0; length <= report.size(); ++length) {
      std::vector<DecodedPost> first;
      for (size_t t = 0; t < std::size(tails); ++t) {
        Bytes buffer(report.begin(), report.begin() + length);
        buffer.insert(buffer.end(), tails[t].begin(), tails[t].end());
        auto posts = DecodeInputReport(buffer.data(), length);
        if (t == 0) first = posts;
        EXPECT_EQ(posts, first) << "report starting " << int(report[0]) << ", length " << length << ", tail " << t;
      }
      EXPECT_EQ(first, Decode(Bytes(report.begin(), report.begin() + length)));
    }
  }
}

TEST(DecodeInputReport, NullBytesDecodeToNothing) { EXPECT_TRUE(DecodeInputReport(nullptr, 9).empty()); }

}  // namespace
