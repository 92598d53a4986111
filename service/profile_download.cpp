#include "service/profile_download.h"

#include <optional>

#include "service/download_payloads.h"
#include "store/fixed_text.h"
#include "store/macro_file.h"

namespace {

// Pauses the downloads add between their commands, in milliseconds.
constexpr uint32_t kAfterMacroMs = 100;
constexpr uint32_t kAfterKeyMapDownloadMs = 200;
constexpr uint32_t kAfterLightingMs = 100;
constexpr uint32_t kAfterEffectColorMs = 200;

}  // namespace

CProfileDownloader::CProfileDownloader(CKeyboardCommands& commands, IClock& clock, std::filesystem::path dataFolder,
                                       IProgressSink* progress)
    : commands_(commands), clock_(clock), dataFolder_(std::move(dataFolder)), progress_(progress) {}

void CProfileDownloader::Progress(int percent) {
  if (progress_) progress_->SetProgress(percent);
}

void CProfileDownloader::DownloadKeyMap(const tagPROFILE_DATA& profile) {
  const std::vector<std::u16string> macroFiles = ListMacroFiles(dataFolder_);
  Progress(20);
  for (int i = 0; i < keyboard::kKeyCount; ++i) {
    const tagKEY_ASSIGN& key = profile.keys[i];
    if (key.byBtnFun != function_code::kMacro) continue;
    tagMACRO_DATA macro{};
    if (std::optional<std::u16string> file = ChooseMacroFile(macroFiles, FixedTextView(key.MacroName)))
      ReadMacroFile(dataFolder_, macro, *file, {}, 0);
    commands_.SendMacro(BuildMacroPayload(macro), keyboard::kKeyMatrixPosition[i]);
    clock_.SleepMs(kAfterMacroMs);
  }
  Progress(40);
  const KeyMap map = BuildKeyMap(profile);
  Progress(50);
  commands_.SendKeyMap(map);
  Progress(70);
}

void CProfileDownloader::DownloadKeyColors(const tagPROFILE_DATA& profile, uint8_t position) {
  const auto& colors = profile.colorSets[0].colors;
  for (int i = 0; i < keyboard::kKeyCount; ++i) {
    const uint8_t matrixPosition = keyboard::kKeyMatrixPosition[i];
    if (matrixPosition != 0) commands_.SendKeyColor(colors[i], position, matrixPosition);
  }
  for (uint8_t free : keyboard::kFirstColumnPositions) commands_.SendKeyColor(0, position, free);
  for (uint8_t free : keyboard::kUnusedPositions) commands_.SendKeyColor(0, position, free);
}

void CProfileDownloader::SendEffectOrKeyColors(const tagPROFILE_DATA& profile, uint8_t position) {
  const tagLIGHT_SETTING& lighting = profile.lighting;
  if (lighting.byLightEffect == LIGHT_EFFECT_SINGLE_COLOR) {
    commands_.SendEffectColor(lighting.byLightColor, position);
    clock_.SleepMs(kAfterEffectColorMs);
  } else if (lighting.byLightEffect == LIGHT_EFFECT_KEY_COLORS) {
    DownloadKeyColors(profile, position);
  }
}

void CProfileDownloader::DownloadProfile(tagCONFIG_DATA& config, const std::function<void()>& reload,
                                         bool withLighting, bool resetFirst) {
  if (reload) reload();
  Progress(20);
  if (resetFirst) {
    commands_.SendResetCommand();
    Progress(40);
  }
  if (config.Profile != 0) {
    DownloadKeyMap(config.current);
    clock_.SleepMs(kAfterKeyMapDownloadMs);
    Progress(50);
  }
  Progress(60);
  if (withLighting) {
    if (commands_.Transport().MonitorHandle() != 0) commands_.SendBeginCommand();
    Progress(70);
    commands_.SendLighting(config.current.lighting);
    clock_.SleepMs(kAfterLightingMs);
    Progress(80);
    SendEffectOrKeyColors(config.current, config.Profile);
  }
  Progress(90);
  Progress(100);
}

void CProfileDownloader::DownloadLighting(tagCONFIG_DATA& config, const std::function<void()>& reload,
                                          uint8_t position) {
  config.Profile = position;
  Progress(20);
  if (reload) reload();
  if (commands_.Transport().MonitorHandle() != 0) commands_.SendBeginCommand();
  Progress(50);
  commands_.SendLighting(config.current.lighting);
  clock_.SleepMs(kAfterLightingMs);
  Progress(80);
  SendEffectOrKeyColors(config.current, position);
  Progress(100);
}
