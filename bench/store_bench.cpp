// Profile file reading and writing on a full, realistic profile: every key
// has its colour, a few keys start programs or play macros, per-key lighting.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "store/fixed_text.h"
#include "store/number_text.h"
#include "store/profile_file.h"
#include "store/records.h"
#include "tests/support/temp_folder.h"

namespace {

using korvex::testing::TempFolder;

std::unique_ptr<tagPROFILE_DATA> RealisticProfile() {
  auto profile = std::make_unique<tagPROFILE_DATA>();
  ResetProfileData(*profile);
  for (int k = 0; k < KEY_COUNT; ++k) {
    tagKEY_ASSIGN& key = profile->keys[k];
    profile->colorSets[0].colors[k] = static_cast<uint32_t>(k * 0x020406) & 0xFFFFFF;
    if (k % 10 == 3) {
      key.bySelFunc = 4;
      key.byBtnFun = 0x180;
      CopyFixedText(key.launch, u"C:\\Program Files (x86)\\Some Game Studio\\Game " + FormatDecimal(k) +
                                    u"\\bin\\game_launcher.exe");
    } else if (k % 10 == 7) {
      key.bySelFunc = 5;
      key.byBtnFun = 0x200;
      key.repeatTime = 3;
      CopyFixedText(key.MacroName, u"Combo " + FormatDecimal(k));
    } else if (k % 10 == 9) {
      key.bySelFunc = 2;
      key.byBtnFun = 0x1D1;
      key.byKeyNumber = static_cast<uint8_t>(4 + k % 26);
    }
  }
  tagLIGHT_SETTING& light = profile->lighting;
  light.byLightEffect = 19;
  light.byLightEffectDirect = 1;
  light.byLightBright = 4;
  light.byLightSpeed = 2;
  light.byLightColorType = 2;
  light.byLightRGBNUM = 1;
  light.byLightColor = 0x00FF00;
  light.bySingleKeyColor = 0x0000FF;
  light.byAllKeyColor = 0xFF0000;
  return profile;
}

// Rewrites an existing file: every element found and its text replaced.
void BM_WriteProfileFile(benchmark::State& state) {
  TempFolder folder{"korvex-store-bench"};
  auto profile = RealisticProfile();
  if (!WriteProfileFile({}, u"bench", *profile, folder.Path())) state.SkipWithError("first write failed");
  for (auto _ : state) {
    benchmark::DoNotOptimize(WriteProfileFile({}, u"bench", *profile, folder.Path()));
  }
}
BENCHMARK(BM_WriteProfileFile)->Unit(benchmark::kMicrosecond);

// Creates the file: every element added.
void BM_WriteNewProfileFile(benchmark::State& state) {
  TempFolder folder{"korvex-store-bench"};
  auto profile = RealisticProfile();
  const auto path = folder.Path() / "bench.profile";
  for (auto _ : state) {
    std::filesystem::remove(path);
    benchmark::DoNotOptimize(WriteProfileFile({}, u"bench", *profile, folder.Path()));
  }
}
BENCHMARK(BM_WriteNewProfileFile)->Unit(benchmark::kMicrosecond);

// Reads the file (which saves it back), as the service does on every reload.
void BM_ReadProfileFile(benchmark::State& state) {
  TempFolder folder{"korvex-store-bench"};
  auto profile = RealisticProfile();
  if (!WriteProfileFile({}, u"bench", *profile, folder.Path())) state.SkipWithError("write failed");
  for (auto _ : state) {
    ResetProfileData(*profile);
    benchmark::DoNotOptimize(ReadProfileFile({}, u"bench", *profile, folder.Path()));
  }
}
BENCHMARK(BM_ReadProfileFile)->Unit(benchmark::kMicrosecond);

}  // namespace
