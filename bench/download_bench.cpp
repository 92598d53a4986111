// A whole-profile download (reset, four macros, key map, lighting, per-key
// colours) against the virtual keyboard with the real clock. The protocol's
// pauses make up nearly all of its time, so the figure that matters is how
// far the wall time exceeds the pauses the protocol mandates:
//   wall_ms      the download's wall-clock time
//   mandated_ms  the sum of the pauses of the same download, taken from a run
//                against a clock that only records them
//   ratio        wall_ms / mandated_ms (goal: at most 1.02)
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "devsim/virtual_keyboard.h"
#include "service/clock.h"
#include "service/keyboard_commands.h"
#include "service/profile_download.h"
#include "service/system_clock.h"
#include "service/tests/devsim_hid_library.h"
#include "service/tests/fake_clock.h"
#include "service/usb_driver.h"
#include "store/fixed_text.h"
#include "store/macro_file.h"
#include "tests/support/temp_folder.h"

namespace {

class NoDesktop final : public IDesktop {
 public:
  WindowHandle FindTopLevelWindow(std::u16string_view) override { return 0; }
  WindowHandle FindChildWindow(WindowHandle, std::u16string_view) override { return 0; }
  bool PostWindowMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return false; }
};

// Position 1 with four macro keys (one file each, full length), a few other
// assignments and effect 19 with a colour for every key.
std::unique_ptr<tagCONFIG_DATA> MakeConfig(const std::filesystem::path& dataFolder) {
  auto config = std::make_unique<tagCONFIG_DATA>();
  config->Profile = 1;
  tagPROFILE_DATA& profile = config->current;
  const int macroKeys[] = {0, 17, 58, 91};
  for (int k = 0; k < 4; ++k) {
    const std::u16string name = u"Macro" + std::u16string(1, static_cast<char16_t>(u'A' + k));
    tagMACRO_DATA macro{};
    macro.Repeat = static_cast<uint16_t>(k + 1);
    for (int e = 0; e < MACRO_EVENT_COUNT; ++e)
      macro.events[e] = {static_cast<uint8_t>(e & 1 ? 0x80 : 0), 20, static_cast<uint8_t>(4 + e % 26)};
    WriteMacroFile(dataFolder, macro, name, {}, 0);
    tagKEY_ASSIGN& key = profile.keys[macroKeys[k]];
    key.bySelFunc = 5;
    key.byBtnFun = 0x200;
    CopyFixedText(key.MacroName, name);
  }
  profile.keys[41].bySelFunc = 1;
  profile.keys[41].byBtnFun = 0x1D3;
  profile.lighting.byLightEffect = 19;
  profile.lighting.byLightBright = 4;
  profile.lighting.byLightSpeed = 2;
  for (int i = 0; i < KEY_COUNT; ++i) profile.colorSets[0].colors[i] = 0x00102030u + static_cast<uint32_t>(i);
  return config;
}

// Runs the download against a fresh virtual keyboard; returns nothing, the
// clock holds what it measured.
void RunDownload(IClock& clock, korvex::devsim::Clock keyboardClock, const std::filesystem::path& dataFolder,
                 const tagCONFIG_DATA& stored) {
  korvex::devsim::CVirtualKeyboard keyboard(std::move(keyboardClock));
  NoDesktop desktop;
  std::unique_ptr<CUSBDriver> driver;
  DevsimHidLibrary library(keyboard, [&driver](const usbwarden::DeviceState& s) { driver->OnMonitorEvent(s); });
  driver = std::make_unique<CUSBDriver>(library, desktop);
  driver->RegisterDevice();
  CKeyboardCommands commands(*driver, clock);
  CProfileDownloader downloader(commands, clock, dataFolder, nullptr);
  auto config = std::make_unique<tagCONFIG_DATA>();
  downloader.DownloadProfile(*config, [&] { *config = stored; }, true, true);
  if (keyboard.State().errors != 0 || keyboard.State().macros.size() != 4) std::abort();
}

void BM_DownloadProfile(benchmark::State& state) {
  korvex::testing::TempFolder data{"korvex-download-bench"};
  std::filesystem::create_directories(data.Path() / "Macros");
  const auto stored = MakeConfig(data.Path());

  FakeClock schedule;
  RunDownload(schedule, [&schedule] { return static_cast<int64_t>(schedule.NowMs()); }, data.Path(), *stored);
  const double mandatedMs = static_cast<double>(schedule.TotalSleptMs());

  SystemClock clock;
  double wallMs = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    RunDownload(clock, korvex::devsim::SteadyClockMs, data.Path(), *stored);
    wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(wallMs / 1000.0);
  }
  state.counters["wall_ms"] = wallMs;
  state.counters["mandated_ms"] = mandatedMs;
  state.counters["ratio"] = wallMs / mandatedMs;
}

BENCHMARK(BM_DownloadProfile)->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
