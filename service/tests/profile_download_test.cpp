#include "service/profile_download.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "devsim/virtual_keyboard.h"
#include "service/tests/devsim_hid_library.h"
#include "service/tests/fake_clock.h"
#include "service/tests/fake_desktop.h"
#include "store/fixed_text.h"
#include "store/macro_file.h"
#include "tests/support/temp_folder.h"

namespace {

using korvex::devsim::CVirtualKeyboard;
using korvex::devsim::LogEntry;
using korvex::devsim::Rgb;
using korvex::testing::TempFolder;
using testing::ElementsAre;

class RecordedProgress final : public IProgressSink {
 public:
  void SetProgress(int percent) override { values.push_back(percent); }
  std::vector<int> values;
};

korvex::devsim::Macro DevsimMacro(const tagMACRO_DATA& macro) {
  korvex::devsim::Macro m;
  m.repeat = macro.Repeat;
  for (int e = 0; e < MACRO_EVENT_COUNT; ++e)
    m.events[e] = {macro.events[e].attributeH, macro.events[e].attributeL, macro.events[e].map};
  return m;
}

tagMACRO_DATA SampleMacro(uint16_t repeat, uint8_t seed, int events) {
  tagMACRO_DATA macro{};
  macro.Repeat = repeat;
  for (int e = 0; e < events; ++e)
    macro.events[e] = {static_cast<uint8_t>(e & 1 ? 0x80 : 0x00), static_cast<uint8_t>(10 * e),
                       static_cast<uint8_t>(seed + e)};
  return macro;
}

Rgb RgbOf(uint32_t color) {
  return {static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8), static_cast<uint8_t>(color >> 16)};
}

bool Is(const LogEntry& e, uint8_t b0, uint8_t b1) { return e.bytes[0] == b0 && e.bytes[1] == b1; }

// The least pause the keyboard must get after a report of this kind.
uint64_t LeastPauseAfter(const LogEntry& e) {
  if (e.usage == 3 || e.usage == 4) return 60;
  if (Is(e, 0x0A, 0x0C) || Is(e, 0x0A, 0x03) || Is(e, 0x07, 0x80)) return 20;
  return 200;
}

class ProfileDownloadTest : public testing::Test {
 protected:
  ProfileDownloadTest() {
    std::filesystem::create_directories(data.Path() / "Macros");
    driver.RegisterDevice();
    stored->Profile = 2;
  }

  void WriteMacro(std::u16string_view name, const tagMACRO_DATA& macro) {
    ASSERT_TRUE(WriteMacroFile(data.Path(), macro, name, {}, 0));
  }
  static void Assign(tagPROFILE_DATA& profile, int key, int32_t function, uint8_t keyNumber = 0) {
    profile.keys[key].bySelFunc = 1;
    profile.keys[key].byBtnFun = function;
    profile.keys[key].byKeyNumber = keyNumber;
  }
  static void AssignMacro(tagPROFILE_DATA& profile, int key, std::u16string_view name) {
    Assign(profile, key, function_code::kMacro);
    profile.keys[key].bySelFunc = 5;
    CopyFixedText(profile.keys[key].MacroName, name);
  }
  static void SetLighting(tagPROFILE_DATA& profile, uint8_t effect, uint32_t color = 0) {
    tagLIGHT_SETTING& l = profile.lighting;
    l.byLightEffect = effect;
    l.byLightEffectDirect = 0;
    l.byLightBright = 3;
    l.byLightSpeed = 1;
    l.byLightColorType = 2;
    l.byLightColor = color;
  }

  // Stands in for the service's reload: the data files hold `stored`.
  std::function<void()> Reload() {
    return [this] {
      reportsBeforeReload.push_back(keyboard.Log().size());
      *config = *stored;
    };
  }

  std::vector<LogEntry> ReportsOfKind(uint8_t b0, uint8_t b1) const {
    std::vector<LogEntry> matching;
    for (const LogEntry& e : keyboard.Log())
      if (Is(e, b0, b1)) matching.push_back(e);
    return matching;
  }

  TempFolder data;
  FakeClock clock;
  CVirtualKeyboard keyboard{[this] { return static_cast<int64_t>(clock.NowMs()); }};
  FakeDesktop desktop;
  DevsimHidLibrary library{keyboard, [this](const usbwarden::DeviceState& s) { driver.OnMonitorEvent(s); }};
  CUSBDriver driver{library, desktop};
  CKeyboardCommands commands{driver, clock};
  RecordedProgress progress;
  CProfileDownloader downloader{commands, clock, data.Path(), &progress};
  std::unique_ptr<tagCONFIG_DATA> stored = std::make_unique<tagCONFIG_DATA>();
  std::unique_ptr<tagCONFIG_DATA> config = std::make_unique<tagCONFIG_DATA>();
  std::vector<size_t> reportsBeforeReload;
};

TEST_F(ProfileDownloadTest, WholeProfileDownloadLeavesTheKeyboardHoldingTheProfile) {
  const tagMACRO_DATA alpha = SampleMacro(3, 0x04, 80), beta = SampleMacro(0x0102, 0x20, 7);
  WriteMacro(u"Alpha", alpha);
  WriteMacro(u"Beta", beta);
  const std::u16string firstListed = ListMacroFiles(data.Path()).at(0);

  tagPROFILE_DATA& p = stored->current;
  AssignMacro(p, 0, u"Alpha");    // position 1, slot 2
  AssignMacro(p, 110, u"Beta");   // position 0, slot 1
  AssignMacro(p, 30, u"beta");    // position 39: not listed with that case, gets the first file
  Assign(p, 41, 0x1D3);           // position 51 disabled
  Assign(p, 5, 0x1D1, 0x2C);      // position 7 sends Space
  Assign(p, 20, 0x180);           // position 28 reports presses to the host
  Assign(p, 60, 0x1E6);           // mail has no key map code: position 72 keeps its own
  SetLighting(p, 19);
  for (int i = 0; i < KEY_COUNT; ++i) p.colorSets[0].colors[i] = 0x00010203u * static_cast<uint32_t>(i + 1);

  downloader.DownloadProfile(*config, Reload(), /*withLighting=*/true, /*resetFirst=*/true);
  EXPECT_THAT(reportsBeforeReload, ElementsAre(0u));  // reloaded once, before any report

  const korvex::devsim::KeyboardState state = keyboard.State();
  EXPECT_EQ(state.errors, 0u);
  EXPECT_EQ(state.resets, 1u);
  EXPECT_EQ(state.begins, 1u);

  korvex::devsim::KeyMap keymap = keyboard::kDefaultKeyMap;
  keymap[0] = keymap[1] = keymap[39] = 0xCD;
  keymap[51] = 0x00;
  keymap[7] = 0x2C;
  keymap[28] = 0xFE;
  EXPECT_EQ(state.keymap, keymap);

  const auto& firstMacro = firstListed == u"Alpha" ? alpha : beta;
  EXPECT_THAT(state.macros, ElementsAre(std::pair{1, DevsimMacro(beta)}, std::pair{2, DevsimMacro(alpha)},
                                        std::pair{40, DevsimMacro(firstMacro)}));

  // Effect 19 travels with colour mode 7; the direction is never sent.
  const uint8_t factoryDirection = korvex::devsim::FactoryState().lighting.direction;
  EXPECT_EQ(state.lighting, (korvex::devsim::Lighting{19, factoryDirection, 3, 1, 7}));

  korvex::devsim::KeyColors colors{};  // positions without a key black, key 110 at 0 included
  colors[14] = RgbOf(0xFFFFFF);        // row 0, column 14 is never sent: the reset left it white
  for (int i = 0; i < 110; ++i) colors[keyboard::kKeyMatrixPosition[i]] = RgbOf(p.colorSets[0].colors[i]);
  EXPECT_EQ(state.keyColors[2], colors);
  EXPECT_EQ(state.keyColors[1], korvex::devsim::FactoryState().keyColors[1]);
}

TEST_F(ProfileDownloadTest, ReportsNeverComeFasterThanTheirPauses) {
  WriteMacro(u"Alpha", SampleMacro(1, 1, 10));
  AssignMacro(stored->current, 0, u"Alpha");
  AssignMacro(stored->current, 50, u"Alpha");
  SetLighting(stored->current, 19);

  downloader.DownloadProfile(*config, Reload(), true, true);

  const std::vector<LogEntry> log = keyboard.Log();
  ASSERT_EQ(log.size(), 1u + 2 * 42 + 24 + 1 + 1 + 137);
  for (size_t i = 0; i + 1 < log.size(); ++i)
    EXPECT_GE(log[i + 1].timeMs - log[i].timeMs, static_cast<int64_t>(LeastPauseAfter(log[i]))) << "report " << i;
  // Reset; two macros with their extra 100 ms; key map and the 200 ms after
  // it; begin; lighting and its extra 100 ms; 137 key colours.
  EXPECT_EQ(clock.TotalSleptMs(), 200u + 2 * (200 + 41 * 60 + 100) + (200 + 23 * 60) + 200 + 20 + 200 + 100 + 137 * 20);
}

TEST_F(ProfileDownloadTest, EffectDecidesWhichColoursFollowTheLighting) {
  struct Case {
    uint8_t effect;
    size_t effectColorReports, keyColorReports;
  };
  for (const Case& c : {Case{16, 1, 0}, Case{19, 0, 137}, Case{5, 0, 0}, Case{18, 0, 0}}) {
    keyboard.ClearLog();
    SetLighting(stored->current, c.effect, 0x00336699);
    downloader.DownloadLighting(*config, Reload(), 3);
    EXPECT_EQ(config->Profile, 2) << "the reload decides the current position";
    EXPECT_EQ(ReportsOfKind(0x0A, 0x0B).size(), c.effectColorReports) << int(c.effect);
    EXPECT_EQ(ReportsOfKind(0x0A, 0x0C).size(), c.keyColorReports) << int(c.effect);
    for (const LogEntry& e : keyboard.Log())
      if (Is(e, 0x0A, 0x0B) || Is(e, 0x0A, 0x0C)) {
        EXPECT_EQ(e.bytes[2], 3) << "profile position byte";
      }
  }
  EXPECT_EQ(keyboard.State().effectColors[3], RgbOf(0x00336699));
}

// Keys 0 to 109 get their colours, then the first column and the listed free
// positions black; position 0 (key 110) only gets black, 14 gets nothing.
TEST_F(ProfileDownloadTest, KeyColorsReachEveryPositionOnceExceptFourteen) {
  for (int i = 0; i < KEY_COUNT; ++i) stored->current.colorSets[0].colors[i] = 0x00FFFFFF;
  downloader.DownloadKeyColors(stored->current, 1);
  std::vector<int> positions;
  for (const LogEntry& e : ReportsOfKind(0x0A, 0x0C)) positions.push_back(e.bytes[3]);
  std::sort(positions.begin(), positions.end());
  std::vector<int> expected;
  for (int m = 0; m <= 137; ++m)
    if (m != 14) expected.push_back(m);
  EXPECT_EQ(positions, expected);
  EXPECT_EQ(keyboard.State().keyColors[1][0], RgbOf(0));
  EXPECT_EQ(clock.TotalSleptMs(), 137u * 20);
}

TEST_F(ProfileDownloadTest, PositionZeroNeverGetsAKeyMapOrMacros) {
  WriteMacro(u"Alpha", SampleMacro(1, 1, 10));
  stored->Profile = 0;
  AssignMacro(stored->current, 0, u"Alpha");
  Assign(stored->current, 41, 0x1D3);

  downloader.DownloadProfile(*config, Reload(), true, false);
  for (const LogEntry& e : keyboard.Log()) {
    EXPECT_NE(e.usage, 3);
    EXPECT_NE(e.usage, 4);
    EXPECT_FALSE(Is(e, 0x0A, 0x04) || Is(e, 0x0A, 0x05));
  }
  EXPECT_EQ(keyboard.State().keymap, keyboard::kDefaultKeyMap);
  EXPECT_THAT(progress.values, ElementsAre(20, 60, 70, 80, 90, 100));
}

TEST_F(ProfileDownloadTest, WithoutAnyMacroFileAMacroKeyGetsAnEmptyMacro) {
  WriteMacro(u"Alpha", SampleMacro(4, 9, 20));
  AssignMacro(stored->current, 0, u"Alpha");
  downloader.DownloadProfile(*config, Reload(), false, false);
  ASSERT_EQ(keyboard.State().macros.count(2), 1u);
  EXPECT_EQ(keyboard.State().macros.at(2).repeat, 4);

  std::filesystem::remove(data.Path() / "Macros" / "Alpha.macro");
  downloader.DownloadProfile(*config, Reload(), false, false);
  EXPECT_EQ(keyboard.State().macros.at(2), korvex::devsim::Macro{});
  EXPECT_EQ(keyboard.State().errors, 0u);
}

TEST_F(ProfileDownloadTest, ProgressClimbsThroughEachStage) {
  downloader.DownloadProfile(*config, Reload(), true, true);
  EXPECT_THAT(progress.values, ElementsAre(20, 40, 20, 40, 50, 70, 50, 60, 70, 80, 90, 100));
  progress.values.clear();
  downloader.DownloadProfile(*config, Reload(), false, false);
  EXPECT_THAT(progress.values, ElementsAre(20, 20, 40, 50, 70, 50, 60, 90, 100));
  progress.values.clear();
  downloader.DownloadLighting(*config, Reload(), 2);
  EXPECT_THAT(progress.values, ElementsAre(20, 50, 80, 100));
}

TEST_F(ProfileDownloadTest, WithoutLightingFlagsNoLightingIsSent) {
  downloader.DownloadProfile(*config, Reload(), false, false);
  EXPECT_TRUE(ReportsOfKind(0x0A, 0x0A).empty());
  EXPECT_TRUE(ReportsOfKind(0x0A, 0x03).empty());
  EXPECT_TRUE(ReportsOfKind(0x0A, 0x0F).empty());
  EXPECT_EQ(ReportsOfKind(0x0A, 0x04).size(), 1u);
}

}  // namespace
