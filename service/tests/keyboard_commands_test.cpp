#include "service/keyboard_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "service/firmware_version.h"
#include "service/tests/fake_clock.h"
#include "service/tests/fake_desktop.h"
#include "service/tests/fake_hid_library.h"

namespace {

using testing::ElementsAre;
using Bytes = std::vector<uint8_t>;

// One report as the keyboard saw it: the usage it went to, its bytes, and the
// pause the sender made before whatever came next.
struct Sent {
  uint32_t usage;
  Bytes bytes;
  uint64_t pauseAfterMs;
  friend bool operator==(const Sent&, const Sent&) = default;
};
void PrintTo(const Sent& s, std::ostream* os) {
  *os << "usage " << s.usage << " [";
  for (uint8_t b : s.bytes) *os << ' ' << std::hex << int(b);
  *os << std::dec << " ] then " << s.pauseAfterMs << " ms";
}

class KeyboardCommandsTest : public testing::Test {
 protected:
  KeyboardCommandsTest() {
    driver.RegisterDevice();
    for (uint32_t usage = 1; usage <= 5; ++usage) driver.OnMonitorEvent({1, 0x10 + usage, usage << 16, 0xFF00});
  }

  // The reports written so far, with the pauses measured between them and
  // after the last one.
  std::vector<Sent> Reports() {
    std::vector<Sent> sent;
    for (size_t i = 0; i < library.writes.size(); ++i) {
      const WrittenReport& w = library.writes[i];
      const uint64_t next = i + 1 < library.writes.size() ? library.writes[i + 1].atMs : clock.NowMs();
      sent.push_back({w.deviceId - 0x10, w.bytes, next - w.atMs});
    }
    return sent;
  }

  FakeClock clock;
  FakeHidLibrary library{&clock};
  FakeDesktop desktop;
  CUSBDriver driver{library, desktop};
  CKeyboardCommands commands{driver, clock};
};

TEST_F(KeyboardCommandsTest, SingleReportsCarryTheirBytesAndPauses) {
  struct Case {
    const char* name;
    std::function<void(CKeyboardCommands&)> send;
    Sent expected;
  };
  tagLIGHT_SETTING effect5{};
  effect5.byLightEffect = 5;
  effect5.byLightBright = 3;
  effect5.byLightSpeed = 2;
  effect5.byLightColorType = 4;
  effect5.byLightEffectDirect = 1;
  tagLIGHT_SETTING effect10 = effect5;
  effect10.byLightEffect = 10;
  tagLIGHT_SETTING effect17 = effect5;
  effect17.byLightEffect = 17;
  tagLIGHT_SETTING effect18 = effect5;
  effect18.byLightEffect = 18;

  const Case cases[] = {
      {"begin", [](auto& c) { c.SendBeginCommand(); }, {2, {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0}, 20}},
      {"reset", [](auto& c) { c.SendResetCommand(); }, {2, {0x0A, 0x0F, 0, 0, 0, 0, 0, 0}, 200}},
      {"effect 5 fixes colour mode 7", [&](auto& c) { c.SendLighting(effect5); },
       {2, {0x0A, 0x0A, 5, 3, 2, 7, 0, 0}, 200}},
      {"effect 10 sends its colour mode", [&](auto& c) { c.SendLighting(effect10); },
       {2, {0x0A, 0x0A, 10, 3, 2, 4, 0, 0}, 200}},
      {"effect 17 sends its colour mode", [&](auto& c) { c.SendLighting(effect17); },
       {2, {0x0A, 0x0A, 17, 3, 2, 4, 0, 0}, 200}},
      {"effect 18 fixes colour mode 7", [&](auto& c) { c.SendLighting(effect18); },
       {2, {0x0A, 0x0A, 18, 3, 2, 7, 0, 0}, 200}},
      {"effect colour", [](auto& c) { c.SendEffectColor(0x00332211, 2); },
       {2, {0x0A, 0x0B, 2, 0x04, 0x11, 0x22, 0x33, 0}, 200}},
      {"key colour", [](auto& c) { c.SendKeyColor(0x00CCBBAA, 3, 137); },
       {2, {0x0A, 0x0C, 3, 137, 0xAA, 0xBB, 0xCC, 0}, 20}},
  };
  for (const Case& c : cases) {
    library.writes.clear();
    c.send(commands);
    EXPECT_THAT(Reports(), ElementsAre(c.expected)) << c.name;
  }
}

TEST_F(KeyboardCommandsTest, KeyMapTravelsAsHeaderAndTwentyThreeChunks) {
  KeyMap map{};
  for (size_t m = 0; m < map.size(); ++m) map[m] = static_cast<uint8_t>(m + 1);
  EXPECT_EQ(commands.SendKeyMap(map), CommandResult::kOk);

  const std::vector<Sent> sent = Reports();
  ASSERT_EQ(sent.size(), 24u);
  EXPECT_EQ(sent[0], (Sent{2, {0x0A, 0x04, 0x01, 0, 0, 0, 0, 0}, 200}));
  for (int n = 1; n <= 23; ++n) {
    Bytes chunk = {0x0B, static_cast<uint8_t>(n)};
    for (int k = 0; k < 6; ++k) chunk.push_back(static_cast<uint8_t>(6 * (n - 1) + k + 1));
    EXPECT_EQ(sent[n], (Sent{3, chunk, 60})) << "chunk " << n;
  }
}

TEST_F(KeyboardCommandsTest, MacroTravelsToItsSlotAsHeaderAndFortyOneChunks) {
  MacroPayload payload{};
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(0xFF - i);
  EXPECT_EQ(commands.SendMacro(payload, 1), CommandResult::kOk);

  const std::vector<Sent> sent = Reports();
  ASSERT_EQ(sent.size(), 42u);
  EXPECT_EQ(sent[0], (Sent{2, {0x0A, 0x05, 0x01, 0x02, 0x01, 0, 0, 0}, 200}));
  for (int n = 1; n <= 41; ++n) {
    Bytes chunk = {0x0C, static_cast<uint8_t>(n)};
    for (int k = 0; k < 6; ++k) chunk.push_back(payload[6 * (n - 1) + k]);
    EXPECT_EQ(sent[n], (Sent{4, chunk, 60})) << "chunk " << n;
  }
}

TEST_F(KeyboardCommandsTest, MacroSlotWrapsAtTheLastMatrixPosition) {
  commands.SendMacro(MacroPayload{}, 255);
  EXPECT_EQ(library.writes.at(0).bytes[3], 0x00);
}

TEST_F(KeyboardCommandsTest, FirmwareVersionQueryWaitsWritesReadsAndFormats) {
  library.readReply = {0x07, 0x80, 1, 12, 0, 0, 0, 0};
  uint8_t major = 0, minor = 0;
  EXPECT_EQ(commands.QueryFirmwareVersion(&major, &minor), CommandResult::kOk);
  EXPECT_EQ(FormatFirmwareVersion(major, minor), u"112");
  EXPECT_THAT(clock.Sleeps(), ElementsAre(3000u, 20u, 20u));
  ASSERT_EQ(library.writes.size(), 1u);
  EXPECT_EQ(library.writes[0].atMs, 3000u);
  EXPECT_EQ(library.writes[0].bytes, (Bytes{0x07, 0x80, 0, 0, 0, 0, 0, 0}));
  EXPECT_THAT(library.reads, ElementsAre(0x12u));
}

TEST_F(KeyboardCommandsTest, FailedVersionReadLeavesTheNumbersAlone) {
  library.readResult = false;
  uint8_t major = 9, minor = 9;
  EXPECT_EQ(commands.QueryFirmwareVersion(&major, &minor), CommandResult::kFailed);
  EXPECT_EQ(major, 9);
  EXPECT_EQ(minor, 9);
  EXPECT_THAT(clock.Sleeps(), ElementsAre(3000u, 20u, 20u));
  EXPECT_EQ(commands.QueryFirmwareVersion(nullptr, nullptr), CommandResult::kFailed);
}

TEST(FirmwareVersion, TextIsBothNumbersInDecimalAndNeverStoredEmpty) {
  EXPECT_EQ(FormatFirmwareVersion(1, 5), u"15");
  EXPECT_EQ(FormatFirmwareVersion(0, 0), u"00");
  EXPECT_EQ(FormatFirmwareVersion(255, 255), u"255255");
  EXPECT_EQ(StoredFirmwareVersion(u""), u" ");
  EXPECT_EQ(StoredFirmwareVersion(u"112"), u"112");
}

TEST_F(KeyboardCommandsTest, FailedFirstWriteFailsTheCommandButTheRestIsStillSent) {
  library.writeResult = false;
  EXPECT_EQ(commands.SendKeyMap(KeyMap{}), CommandResult::kFailed);
  EXPECT_EQ(library.writes.size(), 24u);
  EXPECT_EQ(clock.TotalSleptMs(), 200u + 23 * 60);
  EXPECT_EQ(commands.SendBeginCommand(), CommandResult::kFailed);
  EXPECT_EQ(commands.SendResetCommand(), CommandResult::kFailed);
  EXPECT_EQ(commands.SendKeyColor(0, 0, 1), CommandResult::kFailed);
  EXPECT_EQ(commands.SendMacro(MacroPayload{}, 0), CommandResult::kFailed);
}

TEST(KeyboardCommandsUnregistered, EveryCommandFailsWithoutWritingWhenRegistrationFails) {
  FakeClock clock;
  FakeHidLibrary library{&clock};
  library.startResult = 0;
  FakeDesktop desktop;
  CUSBDriver driver{library, desktop};
  CKeyboardCommands commands{driver, clock};

  uint8_t major = 0;
  EXPECT_EQ(commands.QueryFirmwareVersion(&major, nullptr), CommandResult::kFailed);
  EXPECT_EQ(commands.SendBeginCommand(), CommandResult::kFailed);
  EXPECT_EQ(commands.SendResetCommand(), CommandResult::kFailed);
  commands.SendLighting(tagLIGHT_SETTING{});
  commands.SendEffectColor(0xFFFFFF, 1);
  EXPECT_EQ(commands.SendKeyColor(0xFFFFFF, 1, 1), CommandResult::kFailed);
  EXPECT_EQ(commands.SendKeyMap(KeyMap{}), CommandResult::kFailed);
  EXPECT_EQ(commands.SendMacro(MacroPayload{}, 1), CommandResult::kFailed);

  EXPECT_TRUE(library.writes.empty());
  EXPECT_TRUE(library.reads.empty());
  EXPECT_TRUE(clock.Sleeps().empty());
  EXPECT_EQ(library.starts.size(), 8u);  // each command tried to register
}

TEST(KeyboardCommandsUnregistered, ACommandRegistersFirstWhenNotRegistered) {
  FakeClock clock;
  FakeHidLibrary library{&clock};
  FakeDesktop desktop;
  CUSBDriver driver{library, desktop};
  CKeyboardCommands commands{driver, clock};

  // Registered but no interface listed yet: the write goes to identifier 0.
  EXPECT_EQ(commands.SendResetCommand(), CommandResult::kOk);
  EXPECT_EQ(library.starts.size(), 1u);
  ASSERT_EQ(library.writes.size(), 1u);
  EXPECT_EQ(library.writes[0].deviceId, 0u);
}

}  // namespace
