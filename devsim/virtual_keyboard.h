#pragma once
// The virtual Korvex keyboard: a model of the keyboard's firmware.
//
// The host side writes output reports (ReceiveReport) and reads the version
// reply (ReadReport), exactly as it would on the real keyboard's interfaces.
// The keyboard side (the person at the keyboard, or a test) presses keys and
// changes profiles and lighting with the keyboard's own keys; each such
// operation changes the model's state as the real keyboard does and returns
// the input report the keyboard sends, for the caller to deliver to the host.
//
// Behaviour the host can rely on:
//   - Output reports are accepted only while plugged in; an unplugged keyboard
//     receives nothing (the report is not logged and not counted).
//   - Every received report is logged, refused ones included. A refused report
//     (wrong length, unknown usage, bytes matching no layout, a chunk that does
//     not continue a transfer) counts one error.
//   - A key map or macro is stored only when its header and all its chunks
//     arrived in order with nothing else in between. Any other report during a
//     transfer abandons it (one error; the old key map or macro stays); that
//     report is then handled on its own, so a new header starts a new transfer.
//   - After a version query the next read on usage 2 returns
//     07 80 major minor 00 00 00 00 and consumes the reply. A read with no
//     reply pending, on another usage, or with a length other than 8 fails and
//     leaves the buffer untouched. Unplugging drops a pending reply and an
//     unfinished transfer.
//   - The keyboard side refuses (returns nothing) while unplugged and for values
//     its keys cannot produce: profile position above 3, effect above 9,
//     direction above 1, brightness level above 4, a matrix position outside
//     0 to 137, or a key whose code its report cannot carry (see BuildKeyEvent).
//
// Every public operation is safe to call from several threads at once.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "devsim/keyboard_state.h"
#include "devsim/output_reports.h"
#include "devsim/report_log.h"

namespace korvex::devsim {

// Milliseconds from some fixed point; only differences are used.
using Clock = std::function<int64_t()>;

// A monotonic clock in milliseconds, for the real service.
int64_t SteadyClockMs();

class CVirtualKeyboard {
 public:
  // A plugged-in keyboard in its factory state, plugged in at clock() now.
  explicit CVirtualKeyboard(Clock clock = SteadyClockMs);

  // Host side.
  bool ReceiveReport(int usage, const uint8_t* bytes, std::size_t length);
  bool ReadReport(int usage, uint8_t* buffer, std::size_t length);

  // Keyboard side.
  std::optional<Report> SwitchProfile(int position);
  std::optional<Report> ChangeEffect(int effect);
  std::optional<Report> ChangeDirection(int direction);
  std::optional<Report> ChangeBrightness(int level);
  std::optional<Report> KeyEvent(int position, bool pressed);  // carries the key map's code at `position`
  std::optional<Report> SetSpecialState(bool on);

  // Plugging in restarts the log's clock; the log itself is kept.
  void Plug();
  void Unplug();
  bool IsPlugged() const;
  void SetFirmwareVersion(uint8_t major, uint8_t minor);

  KeyboardState State() const;
  std::vector<LogEntry> Log() const;
  void ClearLog();

  // The keyboard's memory as a JSON file, written atomically.
  bool SaveState(const std::filesystem::path& file) const;
  // Reads the keyboard's memory back. A missing, damaged or foreign file leaves
  // the keyboard in its factory state (keeping its firmware version and plug
  // state) and returns false.
  bool LoadState(const std::filesystem::path& file);

 private:
  enum class TransferKind { None, KeyMap, Macro };
  // A key map or macro arriving in chunks.
  struct Transfer {
    TransferKind kind = TransferKind::None;
    uint8_t slot = 0;       // macro slot
    int nextChunk = 1;
    std::array<uint8_t, kMacroPayloadBytes> data{};
  };

  bool ContinuesTransfer(const OutputReport& report) const;
  void TakeChunk(const DataChunk& chunk, int chunkCount);

  bool Apply(const VersionQuery&);
  bool Apply(const BeginCommand&);
  bool Apply(const ResetCommand&);
  bool Apply(const LightingReport& r);
  bool Apply(const EffectColorReport& r);
  bool Apply(const KeyColorReport& r);
  bool Apply(const KeyMapHeader&);
  bool Apply(const MacroHeader& r);
  bool Apply(const KeyMapChunk&) { return false; }  // no transfer to continue
  bool Apply(const MacroChunk&) { return false; }

  void PlugLocked(bool plugged);

  mutable std::mutex mutex_;
  Clock clock_;
  int64_t plugTimeMs_ = 0;
  KeyboardState state_;
  Transfer transfer_;
  std::optional<Report> versionReply_;
  ReportLog log_;
};

}  // namespace korvex::devsim
