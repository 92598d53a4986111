#include "devsim/virtual_keyboard.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "devsim/tests/host_reports.h"

namespace korvex::devsim {
namespace {

using namespace testing;  // the host report helpers

constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
constexpr Lighting kFactoryLighting{5, 1, 2, 2, 7};

class VirtualKeyboardTest : public ::testing::Test {
 protected:
  int64_t now_ = 1000;
  CVirtualKeyboard keyboard_{[this] { return now_; }};

  bool Send(const HostReport& r) { return keyboard_.ReceiveReport(r.usage, r.bytes.data(), r.bytes.size()); }
  // Sends every report; returns how many were accepted.
  int SendAll(const HostReports& reports) {
    int accepted = 0;
    for (const HostReport& r : reports) accepted += Send(r);
    return accepted;
  }
};

Rgb ColorOf(int position, int m) {
  return Rgb{static_cast<uint8_t>(m), static_cast<uint8_t>(position * 40), static_cast<uint8_t>(255 - m)};
}

TEST_F(VirtualKeyboardTest, FullDownloadBuildsTheKeyboardsMemory) {
  const KeyMap map = SampleKeyMap(0x21);
  const Macro macro = SampleMacro(80, 7);  // every event in use, up to the payload's last event
  const int macroKey = 41;                 // matrix position; travels as slot 42
  HostReports download = HostReports{ResetReport(), BeginReport()} + MacroDownload(macroKey + 1, PayloadOf(macro)) +
                         KeyMapDownload(map);
  download.push_back(LightingReportOf(19, 3, 1, 6));
  download.push_back(EffectColorReportOf(2, Rgb{0x10, 0x20, 0x30}));
  for (int m = 1; m < 138; ++m) download.push_back(KeyColorReportOf(3, m, ColorOf(3, m)));

  EXPECT_EQ(SendAll(download), static_cast<int>(download.size()));

  const KeyboardState s = keyboard_.State();
  EXPECT_EQ(s.keymap, map);
  ASSERT_EQ(s.macros.size(), 1u);
  ASSERT_TRUE(s.macros.count(macroKey + 1));
  EXPECT_EQ(s.macros.at(macroKey + 1), macro);
  EXPECT_EQ(s.lighting, (Lighting{19, 1, 3, 1, 6}));  // the direction is not part of the lighting report
  EXPECT_EQ(s.effectColors[2], (Rgb{0x10, 0x20, 0x30}));
  EXPECT_EQ(s.effectColors[0], kWhite);
  for (int m = 1; m < 138; ++m) EXPECT_EQ(s.keyColors[3][m], ColorOf(3, m)) << "matrix position " << m;
  EXPECT_EQ(s.keyColors[3][0], kWhite);
  EXPECT_EQ(s.keyColors[2][1], kWhite);  // other profile positions keep their colours
  EXPECT_EQ(s.begins, 1u);
  EXPECT_EQ(s.resets, 1u);
  EXPECT_EQ(s.errors, 0u);
}

TEST_F(VirtualKeyboardTest, MacroPayloadDecodesRepeatHighByteFirstAndIgnoresPadding) {
  MacroPayload payload{};
  payload[0] = 0x12;
  payload[1] = 0x34;
  payload[2] = 0xA1, payload[3] = 0xB2, payload[4] = 0xC3;  // event 0
  payload[239] = 0x01, payload[240] = 0x02, payload[241] = 0x03;  // event 79
  payload[242] = payload[245] = 0xEE;                           // padding
  ASSERT_EQ(SendAll(MacroDownload(1, payload)), 42);
  const Macro m = keyboard_.State().macros.at(1);
  EXPECT_EQ(m.repeat, 0x1234);
  EXPECT_EQ(m.events[0], (MacroEvent{0xA1, 0xB2, 0xC3}));
  EXPECT_EQ(m.events[79], (MacroEvent{0x01, 0x02, 0x03}));
  EXPECT_EQ(m.events[1], MacroEvent{});
}

// A transfer that does not complete in order leaves the old key map and macro.
struct BrokenTransferCase {
  std::string name;
  std::function<HostReports(const KeyMap&, const MacroPayload&)> reports;
  uint64_t errors;
};
void PrintTo(const BrokenTransferCase& c, std::ostream* os) { *os << c.name; }


HostReports Slice(const HostReports& all, std::size_t from, std::size_t to) {
  return HostReports(all.begin() + from, all.begin() + to);
}

const BrokenTransferCase kBrokenTransfers[] = {
    {"ChunkRepeated",
     [](const KeyMap& map, const MacroPayload&) {
       HostReports r = KeyMapDownload(map);
       r.insert(r.end() - 1, KeyMapChunkReport(map, 22));  // 22 twice, then 23 has no transfer
       return r;
     },
     2},
    {"ChunkSkipped",
     [](const KeyMap& map, const MacroPayload&) {
       HostReports r = KeyMapDownload(map);
       r.erase(r.end() - 2);  // no chunk 22: 23 breaks the transfer
       return r;
     },
     1},
    {"ChunksWithoutHeader",
     [](const KeyMap& map, const MacroPayload&) { return Slice(KeyMapDownload(map), 1, 24); }, 23},
    {"NewHeaderMidTransfer",
     [](const KeyMap& map, const MacroPayload&) {
       const HostReports all = KeyMapDownload(map);
       // The second header restarts the transfer, so chunks 21 to 23 are refused.
       return Slice(all, 0, 21) + HostReports{KeyMapHeaderReport()} + Slice(all, 21, 24);
     },
     4},
    {"CommandInterleaved",
     [](const KeyMap& map, const MacroPayload&) {
       const HostReports all = KeyMapDownload(map);
       return Slice(all, 0, 23) + HostReports{BeginReport()} + Slice(all, 23, 24);
     },
     2},
    {"MacroChunkInterleavedInKeyMap",
     [](const KeyMap& map, const MacroPayload& payload) {
       const HostReports all = KeyMapDownload(map);
       return Slice(all, 0, 23) + HostReports{MacroChunkReport(payload, 1)} + Slice(all, 23, 24);
     },
     2},
    {"KeyMapChunkInterleavedInMacro",
     [](const KeyMap& map, const MacroPayload& payload) {
       const HostReports all = MacroDownload(5, payload);
       return Slice(all, 0, 41) + HostReports{KeyMapChunkReport(map, 1)} + Slice(all, 41, 42);
     },
     2},
    {"MacroDataOnKeyMapUsage",
     [](const KeyMap&, const MacroPayload& payload) {
       HostReports r = MacroDownload(5, payload);
       r[20].usage = 3;
       return Slice(r, 0, 21);
     },
     1},
    {"MacroLastChunkMissing",
     [](const KeyMap&, const MacroPayload& payload) {
       return Slice(MacroDownload(5, payload), 0, 41) + HostReports{BeginReport()};
     },
     1},
    {"MacroChunkNumberBeyondLast",
     [](const KeyMap&, const MacroPayload& payload) {
       HostReports r = MacroDownload(5, payload);
       r.back().bytes[1] = 42;
       return r;
     },
     1},
};

class BrokenTransferTest : public VirtualKeyboardTest, public ::testing::WithParamInterface<BrokenTransferCase> {};

TEST_P(BrokenTransferTest, LeavesOldDataAndCountsErrors) {
  const Macro oldMacro = SampleMacro(3, 1);
  ASSERT_EQ(SendAll(MacroDownload(5, PayloadOf(oldMacro))), 42);
  const KeyboardState before = keyboard_.State();

  SendAll(GetParam().reports(SampleKeyMap(0x44), PayloadOf(SampleMacro(9, 2))));

  const KeyboardState after = keyboard_.State();
  EXPECT_EQ(after.keymap, before.keymap);
  EXPECT_EQ(after.macros, before.macros);
  EXPECT_EQ(after.errors, GetParam().errors);
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenTransferTest, ::testing::ValuesIn(kBrokenTransfers),
                         [](const auto& info) { return info.param.name; });

TEST_F(VirtualKeyboardTest, TransferRestartedByNewHeaderCompletes) {
  const KeyMap map = SampleKeyMap(0x10);
  const HostReports all = KeyMapDownload(map);
  SendAll(Slice(all, 0, 10) + all);
  EXPECT_EQ(keyboard_.State().keymap, map);
  EXPECT_EQ(keyboard_.State().errors, 1u);
}

TEST_F(VirtualKeyboardTest, ReportInterruptingTransferStillTakesEffect) {
  SendAll(Slice(KeyMapDownload(SampleKeyMap(3)), 0, 5));
  EXPECT_TRUE(Send(LightingReportOf(16, 4, 0, 1)));
  EXPECT_EQ(keyboard_.State().lighting.effect, 16);
  EXPECT_EQ(keyboard_.State().errors, 1u);
}

// Reports the firmware does not know: refused, counted once, logged, no effect.
struct RefusedCase {
  std::string name;
  int usage;
  std::vector<uint8_t> bytes;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }


const RefusedCase kRefused[] = {
    {"Empty", 2, {}},
    {"SevenBytes", 2, {0x0A, 0x03, 0x01, 0, 0, 0, 0}},
    {"NineBytes", 2, {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0, 0}},
    {"UsageOne", 1, {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0}},
    {"UsageFive", 5, {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0}},
    {"CommandOnKeyMapUsage", 3, {0x0A, 0x0F, 0, 0, 0, 0, 0, 0}},
    {"UnknownCommand", 2, {0x0A, 0x06, 0x01, 0, 0, 0, 0, 0}},
    {"UnknownReportId", 2, {0x09, 0x03, 0x01, 0, 0, 0, 0, 0}},
    {"QueryWithData", 2, {0x07, 0x80, 0, 0, 0, 0, 0, 1}},
    {"BeginWithoutOne", 2, {0x0A, 0x03, 0x00, 0, 0, 0, 0, 0}},
    {"ResetWithData", 2, {0x0A, 0x0F, 0x01, 0, 0, 0, 0, 0}},
    {"LightingEffect21", 2, {0x0A, 0x0A, 21, 2, 2, 2, 0, 0}},
    {"LightingBrightness5", 2, {0x0A, 0x0A, 5, 5, 2, 2, 0, 0}},
    {"LightingSpeed5", 2, {0x0A, 0x0A, 5, 2, 5, 2, 0, 0}},
    {"LightingColorMode8", 2, {0x0A, 0x0A, 5, 2, 2, 8, 0, 0}},
    {"EffectColorPosition4", 2, {0x0A, 0x0B, 4, 0x04, 1, 2, 3, 0}},
    {"EffectColorWithoutMarker", 2, {0x0A, 0x0B, 1, 0x05, 1, 2, 3, 0}},
    {"KeyColorPosition4", 2, {0x0A, 0x0C, 4, 10, 1, 2, 3, 0}},
    {"KeyColorMatrix138", 2, {0x0A, 0x0C, 1, 138, 1, 2, 3, 0}},
    {"KeyColorTrailingByte", 2, {0x0A, 0x0C, 1, 10, 1, 2, 3, 9}},
    {"MacroSlot0", 2, {0x0A, 0x05, 0x01, 0, 0x01, 0, 0, 0}},
    {"MacroSlot139", 2, {0x0A, 0x05, 0x01, 139, 0x01, 0, 0, 0}},
    {"MacroHeaderWithoutOne", 2, {0x0A, 0x05, 0x01, 5, 0x00, 0, 0, 0}},
    {"KeyMapHeaderWithoutOne", 2, {0x0A, 0x04, 0x00, 0, 0, 0, 0, 0}},
    {"KeyMapChunk0", 3, {0x0B, 0, 1, 2, 3, 4, 5, 6}},
    {"KeyMapChunk24", 3, {0x0B, 24, 1, 2, 3, 4, 5, 6}},
    {"MacroChunkOnCommandUsage", 2, {0x0C, 1, 1, 2, 3, 4, 5, 6}},
};

class RefusedReportTest : public VirtualKeyboardTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedReportTest, IsRefusedCountedAndLogged) {
  const RefusedCase& c = GetParam();
  KeyboardState expected = keyboard_.State();
  expected.errors = 1;

  EXPECT_FALSE(keyboard_.ReceiveReport(c.usage, c.bytes.data(), c.bytes.size()));

  EXPECT_EQ(keyboard_.State(), expected);
  const std::vector<LogEntry> log = keyboard_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].usage, c.usage);
  EXPECT_EQ(log[0].length, c.bytes.size());
  for (std::size_t i = 0; i < 8; ++i)
    EXPECT_EQ(log[0].bytes[i], i < c.bytes.size() ? c.bytes[i] : 0) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedReportTest, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return info.param.name; });

TEST_F(VirtualKeyboardTest, VersionQueryAnswersOnceOnTheCommandInterface) {
  keyboard_.SetFirmwareVersion(1, 12);
  const Report untouched{9, 9, 9, 9, 9, 9, 9, 9};
  Report buffer = untouched;
  EXPECT_FALSE(keyboard_.ReadReport(2, buffer.data(), 8)) << "no query yet";
  EXPECT_EQ(buffer, untouched);

  ASSERT_TRUE(Send(VersionQueryReport()));
  EXPECT_FALSE(keyboard_.ReadReport(3, buffer.data(), 8)) << "other interface";
  EXPECT_FALSE(keyboard_.ReadReport(2, buffer.data(), 7)) << "short buffer";
  EXPECT_EQ(buffer, untouched);
  ASSERT_TRUE(keyboard_.ReadReport(2, buffer.data(), 8));
  EXPECT_EQ(buffer, (Report{0x07, 0x80, 1, 12, 0, 0, 0, 0}));
  EXPECT_FALSE(keyboard_.ReadReport(2, buffer.data(), 8)) << "the reply is read only once";
}

TEST_F(VirtualKeyboardTest, DefaultFirmwareIsOnePointZeroAndUnplugDropsReply) {
  ASSERT_TRUE(Send(VersionQueryReport()));
  Report buffer{};
  ASSERT_TRUE(keyboard_.ReadReport(2, buffer.data(), 8));
  EXPECT_EQ(buffer[2], 1);
  EXPECT_EQ(buffer[3], 0);

  ASSERT_TRUE(Send(VersionQueryReport()));
  keyboard_.Unplug();
  keyboard_.Plug();
  EXPECT_FALSE(keyboard_.ReadReport(2, buffer.data(), 8));
}

TEST_F(VirtualKeyboardTest, ResetRestoresFactorySettingsAndKeepsProfile) {
  HostReports setup = MacroDownload(7, PayloadOf(SampleMacro(4, 3))) + KeyMapDownload(SampleKeyMap(9));
  setup.push_back(LightingReportOf(1, 0, 4, 3));
  setup.push_back(EffectColorReportOf(1, Rgb{1, 2, 3}));
  setup.push_back(KeyColorReportOf(0, 5, Rgb{4, 5, 6}));
  SendAll(setup);
  ASSERT_TRUE(keyboard_.ChangeDirection(0));
  ASSERT_TRUE(keyboard_.SwitchProfile(3));

  ASSERT_TRUE(Send(ResetReport()));

  const KeyboardState s = keyboard_.State();
  EXPECT_EQ(s.keymap, keyboard::kDefaultKeyMap);
  EXPECT_TRUE(s.macros.empty());
  EXPECT_EQ(s.lighting, kFactoryLighting);
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(s.effectColors[p], kWhite);
    for (const Rgb& c : s.keyColors[p]) EXPECT_EQ(c, kWhite);
  }
  EXPECT_EQ(s.profile, 3);
  EXPECT_EQ(s.resets, 1u);
  EXPECT_EQ(s.errors, 0u);
}

TEST_F(VirtualKeyboardTest, FactoryStateOfANewKeyboard) {
  const KeyboardState s = keyboard_.State();
  EXPECT_TRUE(s.plugged);
  EXPECT_EQ(s.profile, 0);
  EXPECT_EQ(s.keymap, keyboard::kDefaultKeyMap);
  EXPECT_EQ(s.lighting, kFactoryLighting);
  EXPECT_TRUE(s.macros.empty());
  EXPECT_EQ(s.begins + s.resets + s.errors, 0u);
}

TEST_F(VirtualKeyboardTest, LogTimesComeFromTheClockSincePlugIn) {
  now_ = 1020;
  Send(BeginReport());
  now_ = 1100;
  const uint8_t shortReport[3] = {0x0A, 0x03, 0x01};
  keyboard_.ReceiveReport(2, shortReport, 3);
  now_ = 5000;
  keyboard_.Unplug();
  EXPECT_FALSE(Send(BeginReport())) << "an unplugged keyboard receives nothing";
  now_ = 6000;
  keyboard_.Plug();
  now_ = 6050;
  Send(KeyMapChunkReport(SampleKeyMap(1), 4));

  const std::vector<LogEntry> log = keyboard_.Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], (LogEntry{20, 2, BeginReport().bytes, 8}));
  EXPECT_EQ(log[1], (LogEntry{100, 2, {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0}, 3}));
  EXPECT_EQ(log[2].timeMs, 50);
  EXPECT_EQ(log[2].usage, 3);
  EXPECT_EQ(keyboard_.State().begins, 1u);
  EXPECT_EQ(keyboard_.State().errors, 2u);

  keyboard_.ClearLog();
  EXPECT_TRUE(keyboard_.Log().empty());
}

TEST(ReportLogTest, KeepsTheMostRecentEntriesUpToItsCapacity) {
  ReportLog log(2);
  const uint8_t bytes[8] = {};
  for (int t = 1; t <= 3; ++t) log.Add(t, 2, bytes, 8);
  const std::vector<LogEntry> entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].timeMs, 2);
  EXPECT_EQ(entries[1].timeMs, 3);
}

// ---- the keyboard side ----

TEST_F(VirtualKeyboardTest, KeyboardSideChangesStateAndReturnsItsReport) {
  EXPECT_EQ(keyboard_.SwitchProfile(2), (Report{0x0D, 0x03, 2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(keyboard_.ChangeEffect(9), (Report{0x0D, 0x0A, 0x01, 0x01, 9, 0, 0, 0}));
  EXPECT_EQ(keyboard_.ChangeDirection(0), (Report{0x0D, 0x02, 0x0C, 0, 0, 0, 0, 0}));
  EXPECT_EQ(keyboard_.ChangeBrightness(4), (Report{0x0D, 0x0A, 0x01, 0x07, 4, 0, 0, 0}));
  EXPECT_EQ(keyboard_.SetSpecialState(true), (Report{0x08, 0xFE, 0x06, 0, 0, 0, 0, 0}));

  const KeyboardState s = keyboard_.State();
  EXPECT_EQ(s.profile, 2);
  EXPECT_EQ(s.lighting, (Lighting{9, 0, 4, 2, 7}));
  EXPECT_TRUE(s.specialState);
  EXPECT_TRUE(keyboard_.Log().empty()) << "input reports are sent, not received";
}

TEST_F(VirtualKeyboardTest, KeyboardSideRefusesValuesItsKeysCannotProduce) {
  const KeyboardState before = keyboard_.State();
  EXPECT_FALSE(keyboard_.SwitchProfile(4));
  EXPECT_FALSE(keyboard_.SwitchProfile(-1));
  EXPECT_FALSE(keyboard_.ChangeEffect(10));
  EXPECT_FALSE(keyboard_.ChangeDirection(2));
  EXPECT_FALSE(keyboard_.ChangeBrightness(5));
  EXPECT_FALSE(keyboard_.KeyEvent(138, true));
  EXPECT_FALSE(keyboard_.KeyEvent(-1, true));
  EXPECT_EQ(keyboard_.State(), before);
}

TEST_F(VirtualKeyboardTest, UnpluggedKeyboardSendsNothing) {
  keyboard_.Unplug();
  EXPECT_FALSE(keyboard_.IsPlugged());
  EXPECT_FALSE(keyboard_.SwitchProfile(1));
  EXPECT_FALSE(keyboard_.ChangeEffect(1));
  EXPECT_FALSE(keyboard_.KeyEvent(18, true));
  EXPECT_FALSE(keyboard_.SetSpecialState(true));
  EXPECT_EQ(keyboard_.State().profile, 0);
}

TEST_F(VirtualKeyboardTest, KeyEventCarriesTheCodeOfTheKeyMap) {
  KeyMap map = keyboard::kDefaultKeyMap;
  map[18] = 0xFE;  // a key whose presses the host handles
  ASSERT_EQ(SendAll(KeyMapDownload(map)), 24);

  EXPECT_EQ(keyboard_.KeyEvent(18, true), (Report{0x08, 18, 1, 0xFE, 0, 0, 0, 0}));
  EXPECT_EQ(keyboard_.KeyEvent(18, false), (Report{0x08, 18, 0, 0xFE, 0, 0, 0, 0}));
  EXPECT_EQ(keyboard_.KeyEvent(1, true), (Report{0x08, 1, 1, 0x29, 0, 0, 0, 0}));  // Escape, factory code
  EXPECT_FALSE(keyboard_.KeyEvent(125, true)) << "code AC cannot travel in a key event";
}

TEST(VirtualKeyboardThreads, HostAndKeyboardSidesRunConcurrently) {
  CVirtualKeyboard keyboard;  // the real clock
  const HostReports download = KeyMapDownload(SampleKeyMap(0x33));
  std::thread host([&] {
    for (int i = 0; i < 200; ++i)
      for (const HostReport& r : download) keyboard.ReceiveReport(r.usage, r.bytes.data(), 8);
  });
  int sent = 0;
  for (int i = 0; i < 5000; ++i) {
    sent += keyboard.KeyEvent(i % 138, i % 2 == 0).has_value();
    sent += keyboard.SwitchProfile(i % 4).has_value();
    if (i % 100 == 0) keyboard.State();
  }
  host.join();
  const KeyboardState s = keyboard.State();
  EXPECT_EQ(s.keymap, SampleKeyMap(0x33));
  EXPECT_EQ(s.errors, 0u);
  EXPECT_EQ(keyboard.Log().size(), 200u * 24u);
  EXPECT_GT(sent, 0);
}

}  // namespace
}  // namespace korvex::devsim
