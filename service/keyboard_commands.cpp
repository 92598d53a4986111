#include "service/keyboard_commands.h"

#include <algorithm>

namespace {

using keyboard::kChunkPayload;
namespace report = keyboard::report;

HidReport Command(uint8_t kind, uint8_t b2 = 0, uint8_t b3 = 0, uint8_t b4 = 0, uint8_t b5 = 0, uint8_t b6 = 0) {
  return {report::kCommand, kind, b2, b3, b4, b5, b6, 0};
}

constexpr uint8_t Red(uint32_t color) { return static_cast<uint8_t>(color & 0xFF); }
constexpr uint8_t Green(uint32_t color) { return static_cast<uint8_t>((color >> 8) & 0xFF); }
constexpr uint8_t Blue(uint32_t color) { return static_cast<uint8_t>((color >> 16) & 0xFF); }

// Effects that carry their own colour mode; every other effect uses mode 7.
constexpr std::array<uint8_t, 11> kEffectsWithColorMode = {1, 2, 7, 10, 11, 12, 13, 14, 15, 16, 17};
constexpr uint8_t kFixedColorMode = 7;
constexpr uint8_t kEffectColorSlot = 0x04;

CommandResult ResultOf(bool written) { return written ? CommandResult::kOk : CommandResult::kFailed; }

}  // namespace

bool CKeyboardCommands::Send(uint32_t usage, const HidReport& report, uint32_t pauseMs) {
  const bool written = transport_.WriteReport(usage, report);
  clock_.SleepMs(pauseMs);
  return written;
}

CommandResult CKeyboardCommands::QueryFirmwareVersion(uint8_t* major, uint8_t* minor) {
  if (!transport_.EnsureRegistered()) return CommandResult::kFailed;
  clock_.SleepMs(command_pause::kBeforeVersionQuery);
  HidReport buffer = {report::kQuery, report::kVersion, 0, 0, 0, 0, 0, 0};
  const bool written = Send(keyboard::kCommandUsage, buffer, transport_.WriteDelay());
  const bool read = transport_.ReadReport(keyboard::kCommandUsage, buffer);
  if (written && read) {
    if (major) *major = buffer[2];
    if (minor) *minor = buffer[3];
  }
  clock_.SleepMs(transport_.WriteDelay());
  return ResultOf(written && read);
}

CommandResult CKeyboardCommands::SendBeginCommand() {
  if (!transport_.EnsureRegistered()) return CommandResult::kFailed;
  return ResultOf(Send(keyboard::kCommandUsage, Command(report::kBegin, 0x01), transport_.WriteDelay()));
}

CommandResult CKeyboardCommands::SendResetCommand() {
  if (!transport_.EnsureRegistered()) return CommandResult::kFailed;
  return ResultOf(Send(keyboard::kCommandUsage, Command(report::kReset), command_pause::kCommand));
}

void CKeyboardCommands::SendLighting(const tagLIGHT_SETTING& lighting) {
  if (!transport_.EnsureRegistered()) return;
  const uint8_t effect = lighting.byLightEffect;
  const bool ownMode = std::find(kEffectsWithColorMode.begin(), kEffectsWithColorMode.end(), effect) !=
                       kEffectsWithColorMode.end();
  Send(keyboard::kCommandUsage,
       Command(report::kLighting, effect, lighting.byLightBright, lighting.byLightSpeed,
               ownMode ? lighting.byLightColorType : kFixedColorMode),
       command_pause::kCommand);
}

void CKeyboardCommands::SendEffectColor(uint32_t color, uint8_t position) {
  if (!transport_.EnsureRegistered()) return;
  Send(keyboard::kCommandUsage,
       Command(report::kEffectColor, position, kEffectColorSlot, Red(color), Green(color), Blue(color)),
       command_pause::kCommand);
}

CommandResult CKeyboardCommands::SendKeyColor(uint32_t color, uint8_t position, uint8_t matrixPosition) {
  if (!transport_.EnsureRegistered()) return CommandResult::kFailed;
  return ResultOf(Send(keyboard::kCommandUsage,
                       Command(report::kKeyColor, position, matrixPosition, Red(color), Green(color), Blue(color)),
                       command_pause::kKeyColor));
}

template <size_t N>
CommandResult CKeyboardCommands::SendChunked(const HidReport& header, uint32_t usage, uint8_t chunkKind,
                                             const std::array<uint8_t, N>& data) {
  static_assert(N % kChunkPayload == 0);
  const bool headerWritten = Send(keyboard::kCommandUsage, header, command_pause::kCommand);
  for (size_t n = 0; n < N / kChunkPayload; ++n) {
    HidReport chunk = {chunkKind, static_cast<uint8_t>(n + 1)};
    std::copy_n(data.begin() + n * kChunkPayload, kChunkPayload, chunk.begin() + 2);
    Send(usage, chunk, command_pause::kChunk);
  }
  return ResultOf(headerWritten);
}

CommandResult CKeyboardCommands::SendKeyMap(const KeyMap& map) {
  if (!transport_.EnsureRegistered()) return CommandResult::kFailed;
  return SendChunked(Command(report::kKeyMapHeader, 0x01), keyboard::kKeyMapUsage, report::kKeyMapChunk, map);
}

CommandResult CKeyboardCommands::SendMacro(const MacroPayload& payload, uint8_t matrixPosition) {
  if (!transport_.EnsureRegistered()) return CommandResult::kFailed;
  const auto slot = static_cast<uint8_t>(matrixPosition + 1);
  return SendChunked(Command(report::kMacroHeader, 0x01, slot, 0x01), keyboard::kMacroUsage, report::kMacroChunk,
                     payload);
}
