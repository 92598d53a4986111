#pragma once
// The reports the host writes to the keyboard, recognised from their bytes.
//
// Every output report is 8 bytes on one of three vendor interfaces: usage 2
// carries commands and queries, usage 3 key map data, usage 4 macro data. A
// report is recognised only when every byte matches its layout, including the
// bytes that must be zero; anything else is unknown to the firmware.
//
//   usage 2  07 80 00 00 00 00 00 00   VersionQuery
//   usage 2  0A 03 01 00 00 00 00 00   BeginCommand
//   usage 2  0A 0F 00 00 00 00 00 00   ResetCommand
//   usage 2  0A 0A ef br sp cm 00 00   LightingReport: effect <= 20, brightness <= 4,
//                                      speed <= 4, colour mode <= 7
//   usage 2  0A 0B p  04 r  g  b  00   EffectColorReport: profile position p <= 3
//   usage 2  0A 0C p  m  r  g  b  00   KeyColorReport: p <= 3, matrix position m <= 137
//   usage 2  0A 04 01 00 00 00 00 00   KeyMapHeader
//   usage 3  0B n  d0 .. d5            KeyMapChunk n = 1 to 23
//   usage 2  0A 05 01 s  01 00 00 00   MacroHeader: slot s = matrix position + 1, 1 to 138
//   usage 4  0C n  d0 .. d5            MacroChunk n = 1 to 41

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>

#include "devsim/keyboard_state.h"

namespace korvex::devsim {

constexpr std::size_t kReportSize = keyboard::kReportSize;
using Report = std::array<uint8_t, kReportSize>;

constexpr int kCommandUsage = keyboard::kCommandUsage, kKeyMapUsage = keyboard::kKeyMapUsage,
              kMacroUsage = keyboard::kMacroUsage;

constexpr int kChunkDataBytes = keyboard::kChunkPayload;
constexpr int kKeyMapChunkCount = keyboard::kKeyMapChunks;   // 23 x 6 = the 138-byte key map
constexpr int kMacroChunkCount = keyboard::kMacroChunks;     // 41 x 6 = the 246-byte macro payload
constexpr int kMacroPayloadBytes = keyboard::kMacroPayloadSize;

struct VersionQuery {};
struct BeginCommand {};
struct ResetCommand {};
struct LightingReport {
  uint8_t effect, brightness, speed, colorType;
};
struct EffectColorReport {
  uint8_t position;
  Rgb color;
};
struct KeyColorReport {
  uint8_t position, matrixPosition;
  Rgb color;
};
struct KeyMapHeader {};
struct MacroHeader {
  uint8_t slot;
};
// A key map or macro chunk: its number (from 1) and its six data bytes.
struct DataChunk {
  uint8_t number;
  std::array<uint8_t, kChunkDataBytes> data;
};
struct KeyMapChunk : DataChunk {};
struct MacroChunk : DataChunk {};

using OutputReport = std::variant<VersionQuery, BeginCommand, ResetCommand, LightingReport, EffectColorReport,
                                  KeyColorReport, KeyMapHeader, KeyMapChunk, MacroHeader, MacroChunk>;

// The macro a 246-byte payload carries: repeat count (high byte first), then
// 80 events of three bytes; the last four bytes are padding.
Macro MacroFromPayload(const std::array<uint8_t, kMacroPayloadBytes>& payload);

// Recognises one report received on `usage`. Returns nothing for a length
// other than 8, an unknown usage, or bytes that match no layout. Never reads
// beyond `length` bytes.
std::optional<OutputReport> ParseOutputReport(int usage, const uint8_t* bytes, std::size_t length);

}  // namespace korvex::devsim
