#include "devsim/input_reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvex::devsim {
namespace {

// What the host makes of an input report: key events (code, class, flag) and
// special-state notifications.
struct Decoded {
  enum Kind { Event, SpecialState } kind;
  int code = 0, cls = 0, flag = 0;  // for SpecialState, code is 1 (on) or 0 (off)
  friend bool operator==(const Decoded&, const Decoded&) = default;
};

Decoded Event(int code, int cls, int flag) { return {Decoded::Event, code, cls, flag}; }
Decoded Special(bool on) { return {Decoded::SpecialState, on ? 1 : 0}; }

void PrintTo(const Decoded& d, std::ostream* os) {
  *os << (d.kind == Decoded::Event ? "event" : "special") << "(" << d.code << ", " << d.cls << ", " << d.flag << ")";
}

// The host's decoding algorithm, written out independently of the builder.
// A test on a byte beyond the report's length fails.
std::vector<Decoded> ReferenceDecode(const uint8_t* b, std::size_t length) {
  auto is = [&](std::size_t i, int v) { return i < length && b[i] == v; };
  std::vector<Decoded> out;
  // Step 2: the consumed pattern, or a jump to step 4.
  const bool stepTwo = is(1, 0x00) && is(2, 0x07) && is(3, 0x00) && is(4, 0x03) && is(5, 0xD6) && is(7, 0x00) &&
                       is(8, 0x00);
  if (stepTwo && (is(6, 0x00) || is(6, 0x01))) return out;
  if (!stepTwo) {
    // Step 3: first match.
    if (is(0, 0x0D) && is(1, 0x03))
      out.push_back(Event(b[2], 0xDA, 1));
    else if (is(0, 0x0D) && is(1, 0x05))
      out.push_back(Event(0xDE, b[3], 1));
    else if (is(2, 0x01) && is(3, 0x01))
      out.push_back(Event(b[4], 0xDF, 1));
    else if (is(1, 0x02) && is(2, 0x0C))
      out.push_back(Event(b[3], 0xDB, 1));
    else if (is(2, 0x01) && is(3, 0x07))
      out.push_back(Event(b[4], 0xDC, 1));
  }
  // Step 4.
  if (is(0, 0x08) && length > 3 && b[3] != 0xAC) {
    if (is(1, 0xFE) && is(2, 0x06))
      out.push_back(Special(true));
    else if (is(1, 0xFE) && is(2, 0x05))
      out.push_back(Special(false));
    else
      out.push_back(Event(b[3], b[1], b[2]));
  }
  return out;
}

std::vector<Decoded> Decode(const Report& r) { return ReferenceDecode(r.data(), r.size()); }

TEST(ReferenceDecoderTest, FollowsTheHostsKnownCases) {
  // Sanity of the reference itself on reports with known outcomes.
  EXPECT_EQ(Decode({0x08, 0xFE, 0x04, 0x02}), std::vector{Event(2, 0xFE, 4)});
  EXPECT_TRUE(Decode({0x08, 0x12, 0x01, 0xAC}).empty());
  EXPECT_EQ(Decode({0x08, 0x12, 0x01, 0x01, 0x05}), (std::vector{Event(5, 0xDF, 1), Event(1, 0x12, 1)}));
}

struct BuiltCase {
  std::string name;
  Report report;
  Decoded expected;
};
void PrintTo(const BuiltCase& c, std::ostream* os) { *os << c.name; }


const BuiltCase kBuilt[] = {
    {"ProfileSwitched0", BuildProfileSwitched(0), Event(0, 0xDA, 1)},
    {"ProfileSwitched3", BuildProfileSwitched(3), Event(3, 0xDA, 1)},
    {"Effect0", BuildEffectChanged(0), Event(0, 0xDF, 1)},
    {"Effect9", BuildEffectChanged(9), Event(9, 0xDF, 1)},
    {"Direction0", BuildDirectionChanged(0), Event(0, 0xDB, 1)},
    {"Direction1", BuildDirectionChanged(1), Event(1, 0xDB, 1)},
    {"Brightness0", BuildBrightnessChanged(0), Event(0, 0xDC, 1)},
    {"Brightness4", BuildBrightnessChanged(4), Event(4, 0xDC, 1)},
    {"KeyPressLaunch", *BuildKeyEvent(18, true, 0xFE), Event(0xFE, 18, 1)},
    {"KeyReleaseLaunch", *BuildKeyEvent(18, false, 0xFE), Event(0xFE, 18, 0)},
    {"KeyPressPosition0", *BuildKeyEvent(0, true, 0x29), Event(0x29, 0, 1)},
    {"KeyPressLastPosition", *BuildKeyEvent(137, true, 0xCD), Event(0xCD, 137, 1)},
    {"KeyReleaseCode07", *BuildKeyEvent(73, false, 0x07), Event(0x07, 73, 0)},
    {"SpecialOn", BuildSpecialState(true), Special(true)},
    {"SpecialOff", BuildSpecialState(false), Special(false)},
};

class BuiltReportTest : public ::testing::TestWithParam<BuiltCase> {};

TEST_P(BuiltReportTest, DecodesToExactlyTheIntendedEvent) {
  EXPECT_EQ(Decode(GetParam().report), std::vector{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(Cases, BuiltReportTest, ::testing::ValuesIn(kBuilt),
                         [](const auto& info) { return info.param.name; });

TEST(InputReportsTest, EveryValueOfTheLightingAndProfileReportsDecodesToOneEvent) {
  for (int v = 0; v < 256; ++v) {
    const uint8_t value = static_cast<uint8_t>(v);
    EXPECT_EQ(Decode(BuildProfileSwitched(value)), std::vector{Event(v, 0xDA, 1)}) << v;
    EXPECT_EQ(Decode(BuildEffectChanged(value)), std::vector{Event(v, 0xDF, 1)}) << v;
    EXPECT_EQ(Decode(BuildDirectionChanged(value)), std::vector{Event(v, 0xDB, 1)}) << v;
    EXPECT_EQ(Decode(BuildBrightnessChanged(value)), std::vector{Event(v, 0xDC, 1)}) << v;
  }
}

TEST(InputReportsTest, EveryKeyEventBuiltDecodesToExactlyThatKeyEvent) {
  int refused = 0;
  for (int position = 0; position < 138; ++position)
    for (int code = 0; code < 256; ++code)
      for (bool pressed : {false, true}) {
        const std::optional<Report> r = BuildKeyEvent(position, pressed, static_cast<uint8_t>(code));
        if (!r) {
          ++refused;
          continue;
        }
        ASSERT_EQ(Decode(*r), std::vector{Event(code, position, pressed ? 1 : 0)})
            << "position " << position << " code " << code << " pressed " << pressed;
      }
  // Refused: code AC pressed and released, codes 01 and 07 pressed, at every position.
  EXPECT_EQ(refused, 138 * 4);
}

TEST(InputReportsTest, KeyEventRefusesWhatTheHostWouldMisread) {
  EXPECT_FALSE(BuildKeyEvent(10, true, 0xAC));
  EXPECT_FALSE(BuildKeyEvent(10, false, 0xAC));
  EXPECT_FALSE(BuildKeyEvent(10, true, 0x01));
  EXPECT_FALSE(BuildKeyEvent(10, true, 0x07));
  EXPECT_FALSE(BuildKeyEvent(138, true, 0xFE));
  EXPECT_FALSE(BuildKeyEvent(0xFE, true, 0x04));
  EXPECT_FALSE(BuildKeyEvent(-1, true, 0xFE));
}

}  // namespace
}  // namespace korvex::devsim
