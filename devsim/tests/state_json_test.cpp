#include "devsim/state_json.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "devsim/tests/host_reports.h"
#include "devsim/virtual_keyboard.h"
#include "tests/support/temp_folder.h"

namespace korvex::devsim {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

// Every part of the state away from its factory value.
KeyboardState SampleState() {
  KeyboardState s = FactoryState();
  s.plugged = false;
  s.firmwareMajor = 2;
  s.firmwareMinor = 14;
  s.profile = 3;
  s.keymap = testing::SampleKeyMap(0x5A);
  s.macros[1] = testing::SampleMacro(80, 1);
  s.macros[138] = testing::SampleMacro(5, 2);
  s.macros[42] = Macro{};
  s.lighting = Lighting{19, 0, 4, 3, 6};
  for (int p = 0; p < 4; ++p) {
    s.effectColors[p] = Rgb{static_cast<uint8_t>(p), 0x80, 0xFF};
    for (int m = 0; m < 138; ++m) s.keyColors[p][m] = Rgb{static_cast<uint8_t>(m), static_cast<uint8_t>(p), 7};
  }
  s.specialState = true;
  s.begins = 12;
  s.resets = 3;
  s.errors = 1ull << 40;
  return s;
}

TEST(StateJsonTest, RoundTripKeepsEverything) {
  const KeyboardState original = SampleState();
  KeyboardState read = FactoryState();
  ASSERT_TRUE(StateFromJsonText(StateToJsonText(original), read));
  EXPECT_EQ(read, original);
}

TEST(StateJsonTest, HasTheDocumentedShape) {
  const json j = json::parse(StateToJsonText(SampleState()));
  EXPECT_EQ(j["plugged"], false);
  EXPECT_EQ(j["firmware"], json::array({2, 14}));
  EXPECT_EQ(j["profile"], 3);
  EXPECT_EQ(j["keymap"].size(), 138u);
  EXPECT_EQ(j["macros"]["1"]["events"].size(), 80u);
  EXPECT_EQ(j["macros"]["138"]["repeat"], 0x0102);
  EXPECT_EQ(j["macros"]["138"]["events"].size(), 5u) << "unused trailing events are left out";
  EXPECT_EQ(j["macros"]["138"]["events"][1], json::array({1, 3, 5}));
  EXPECT_EQ(j["macros"]["42"]["events"], json::array());
  EXPECT_EQ(j["lighting"], (json{{"effect", 19}, {"direction", 0}, {"brightness", 4}, {"speed", 3}, {"colorType", 6}}));
  EXPECT_EQ(j["effectColor"]["2"], json::array({2, 0x80, 0xFF}));
  EXPECT_EQ(j["keyColors"]["3"].size(), 138u);
  EXPECT_EQ(j["keyColors"]["3"][137], json::array({137, 3, 7}));
  EXPECT_EQ(j["special"], true);
  EXPECT_EQ(j["begins"], 12);
  EXPECT_EQ(j["resets"], 3);
  EXPECT_EQ(j["errors"], 1ull << 40);
}

// Damaged or foreign text, made by changing one thing in a valid document.
struct DamagedCase {
  std::string name;
  std::function<std::string(json)> damage;
};
void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.name; }


std::string Dump(const json& j) { return j.dump(); }

const DamagedCase kDamaged[] = {
    {"Empty", [](json) { return std::string(); }},
    {"NotJson", [](json) { return std::string("plugged = true"); }},
    {"Truncated", [](json j) { std::string t = j.dump(); return t.substr(0, t.size() / 2); }},
    {"Array", [](json j) { return Dump(json::array({j})); }},
    {"Null", [](json) { return std::string("null"); }},
    {"MissingKeymap", [](json j) { j.erase("keymap"); return Dump(j); }},
    {"MissingErrors", [](json j) { j.erase("errors"); return Dump(j); }},
    {"KeymapTooShort", [](json j) { j["keymap"].erase(137); return Dump(j); }},
    {"KeymapByte256", [](json j) { j["keymap"][5] = 256; return Dump(j); }},
    {"KeymapNegative", [](json j) { j["keymap"][5] = -1; return Dump(j); }},
    {"KeymapFraction", [](json j) { j["keymap"][5] = 1.5; return Dump(j); }},
    {"KeymapText", [](json j) { j["keymap"][5] = "5"; return Dump(j); }},
    {"Profile4", [](json j) { j["profile"] = 4; return Dump(j); }},
    {"PluggedNumber", [](json j) { j["plugged"] = 1; return Dump(j); }},
    {"FirmwareThreeNumbers", [](json j) { j["firmware"].push_back(0); return Dump(j); }},
    {"MacroSlot0", [](json j) { j["macros"]["0"] = j["macros"]["1"]; return Dump(j); }},
    {"MacroSlot139", [](json j) { j["macros"]["139"] = j["macros"]["1"]; return Dump(j); }},
    {"MacroSlotNotNumber", [](json j) { j["macros"]["x1"] = j["macros"]["1"]; return Dump(j); }},
    {"MacroSlotLeadingZero", [](json j) { j["macros"]["01"] = j["macros"]["1"]; return Dump(j); }},
    {"Macro81Events", [](json j) { j["macros"]["1"]["events"].push_back(json::array({0, 0, 0})); return Dump(j); }},
    {"MacroEventTwoBytes", [](json j) { j["macros"]["1"]["events"][0] = json::array({1, 2}); return Dump(j); }},
    {"MacroRepeat65536", [](json j) { j["macros"]["1"]["repeat"] = 65536; return Dump(j); }},
    {"LightingMissingSpeed", [](json j) { j["lighting"].erase("speed"); return Dump(j); }},
    {"EffectColorMissingPosition", [](json j) { j["effectColor"].erase("3"); return Dump(j); }},
    {"KeyColorsShort", [](json j) { j["keyColors"]["0"].erase(0); return Dump(j); }},
    {"KeyColorComponent300", [](json j) { j["keyColors"]["1"][3][0] = 300; return Dump(j); }},
};

class DamagedStateTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedStateTest, IsRefusedAndLeavesTheStateUntouched) {
  const std::string text = GetParam().damage(json::parse(StateToJsonText(SampleState())));
  KeyboardState state = FactoryState();
  EXPECT_FALSE(StateFromJsonText(text, state));
  EXPECT_EQ(state, FactoryState());
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedStateTest, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return info.param.name; });

TEST(ReportLogJsonTest, RoundTripAndShape) {
  const std::vector<LogEntry> log = {
      {0, 2, {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0}, 8},
      {-5, 3, {0x0B, 1, 2, 3, 4, 5, 6, 7}, 8},
      {123456789012, 7, {0x01, 0x02, 0, 0, 0, 0, 0, 0}, 2},
  };
  const std::string text = ReportLogToJsonText(log);
  const json j = json::parse(text);
  EXPECT_EQ(j[0], (json{{"t", 0}, {"usage", 2}, {"bytes", {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0}}}));
  EXPECT_EQ(j[2]["length"], 2);

  std::vector<LogEntry> read;
  ASSERT_TRUE(ReportLogFromJsonText(text, read));
  EXPECT_EQ(read, log);
  EXPECT_FALSE(ReportLogFromJsonText(R"([{"t": 1, "usage": 2, "bytes": [1, 2]}])", read));
  EXPECT_FALSE(ReportLogFromJsonText("{}", read));
  EXPECT_EQ(read, log);
}

// ---- state files ----

class StateFileTest : public ::testing::Test {
 protected:
  korvex::testing::TempFolder folder_{"korvex-devsim"};
  const fs::path dir_ = folder_.Path();
};

TEST_F(StateFileTest, KeyboardMemorySurvivesARestart) {
  const fs::path file = dir_ / "keyboard.json";
  KeyboardState saved;
  {
    CVirtualKeyboard keyboard;
    keyboard.SetFirmwareVersion(1, 5);
    for (const auto& r : testing::KeyMapDownload(testing::SampleKeyMap(8)) +
                             testing::MacroDownload(9, testing::PayloadOf(testing::SampleMacro(6, 4))))
      keyboard.ReceiveReport(r.usage, r.bytes.data(), 8);
    keyboard.SwitchProfile(2);
    keyboard.Unplug();
    saved = keyboard.State();
    ASSERT_TRUE(keyboard.SaveState(file));
  }
  CVirtualKeyboard restarted;
  ASSERT_TRUE(restarted.LoadState(file));
  EXPECT_EQ(restarted.State(), saved);
  EXPECT_FALSE(restarted.IsPlugged());

  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 1) << "no temporary file is left behind";
}

TEST_F(StateFileTest, DamagedOrMissingFileFallsBackToFactoryState) {
  const fs::path damaged = dir_ / "damaged.json";
  std::ofstream(damaged, std::ios::binary) << "{\"plugged\": true, \"keymap\": [1, 2";

  for (const fs::path& file : {damaged, dir_ / "missing.json", dir_}) {
    CVirtualKeyboard keyboard;
    keyboard.SetFirmwareVersion(3, 1);
    for (const auto& r : testing::KeyMapDownload(testing::SampleKeyMap(8)))
      keyboard.ReceiveReport(r.usage, r.bytes.data(), 8);
    keyboard.SwitchProfile(1);

    EXPECT_FALSE(keyboard.LoadState(file)) << file;
    KeyboardState expected = FactoryState();
    expected.firmwareMajor = 3;
    expected.firmwareMinor = 1;
    EXPECT_EQ(keyboard.State(), expected) << file;
  }
}

TEST_F(StateFileTest, LoadingAPluggedStateRestartsTheLogClock) {
  int64_t now = 100;
  CVirtualKeyboard keyboard([&] { return now; });
  keyboard.Unplug();
  KeyboardState plugged = FactoryState();
  const fs::path file = dir_ / "plugged.json";
  {
    std::ofstream out(file, std::ios::binary);
    out << StateToJsonText(plugged);
  }
  now = 500;
  ASSERT_TRUE(keyboard.LoadState(file));
  EXPECT_TRUE(keyboard.IsPlugged());
  now = 530;
  const Report begin{0x0A, 0x03, 0x01, 0, 0, 0, 0, 0};
  keyboard.ReceiveReport(2, begin.data(), 8);
  ASSERT_EQ(keyboard.Log().size(), 1u);
  EXPECT_EQ(keyboard.Log()[0].timeMs, 30);
}

}  // namespace
}  // namespace korvex::devsim
