#pragma once
// Whole settings downloaded to the keyboard in their fixed order: a profile's
// macros and key map, its per-key colours, the whole profile on Apply and the
// lighting alone, with the pauses between them and the progress shown to the
// user (0 to 100).

#include <cstdint>
#include <filesystem>
#include <functional>

#include "service/clock.h"
#include "service/keyboard_commands.h"
#include "service/progress_sink.h"
#include "store/records.h"

// Lighting effects that need colours beyond the lighting report.
constexpr uint8_t LIGHT_EFFECT_SINGLE_COLOR = 16;  // one effect colour
constexpr uint8_t LIGHT_EFFECT_KEY_COLORS = 19;    // a colour per key

class CProfileDownloader {
 public:
  // `dataFolder` holds the Macros folder; `progress` may be null.
  CProfileDownloader(CKeyboardCommands& commands, IClock& clock, std::filesystem::path dataFolder,
                     IProgressSink* progress);

  // The macros of every macro key, then the key map. A macro key whose macro
  // file is not listed gets the first listed file; with no macro file at
  // all, or an unreadable one, it gets an empty macro (repeat 0, no events).
  void DownloadKeyMap(const tagPROFILE_DATA& profile);
  // Colour set 0 of every key except the one at position 0, then black for
  // every position without a key.
  void DownloadKeyColors(const tagPROFILE_DATA& profile, uint8_t position);

  // Apply: `reload` refreshes `config` from the data files first. Then the
  // reset command when `resetFirst`; macros and key map unless the current
  // position is 0; the lighting and its colours when `withLighting`.
  void DownloadProfile(tagCONFIG_DATA& config, const std::function<void()>& reload, bool withLighting,
                       bool resetFirst);
  // The lighting of profile position `position`, after making it current and
  // reloading `config`.
  void DownloadLighting(tagCONFIG_DATA& config, const std::function<void()>& reload, uint8_t position);

 private:
  void SendEffectOrKeyColors(const tagPROFILE_DATA& profile, uint8_t position);
  void Progress(int percent);

  CKeyboardCommands& commands_;
  IClock& clock_;
  std::filesystem::path dataFolder_;
  IProgressSink* progress_;
};
