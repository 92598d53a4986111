#include "devsim/output_reports.h"

#include <algorithm>

namespace korvex::devsim {

namespace {

namespace report = keyboard::report;

constexpr uint8_t kEffectColorMarker = 0x04;  // byte 3 of every effect colour report
constexpr uint8_t kMaxEffect = 20, kMaxBrightness = 4, kMaxSpeed = 4, kMaxColorType = 7;

// True when bytes [from, 8) are all zero.
bool ZeroFrom(const Report& r, std::size_t from) {
  return std::all_of(r.begin() + from, r.end(), [](uint8_t b) { return b == 0; });
}

DataChunk ChunkOf(const Report& r) {
  DataChunk chunk{r[1], {}};
  std::copy(r.begin() + 2, r.end(), chunk.data.begin());
  return chunk;
}

std::optional<OutputReport> ParseCommand(const Report& r) {
  if (r[0] == report::kQuery) {
    if (r[1] == report::kVersion && ZeroFrom(r, 2)) return VersionQuery{};
    return std::nullopt;
  }
  if (r[0] != report::kCommand) return std::nullopt;
  switch (r[1]) {
    case report::kBegin:
      if (r[2] == 0x01 && ZeroFrom(r, 3)) return BeginCommand{};
      break;
    case report::kReset:
      if (ZeroFrom(r, 2)) return ResetCommand{};
      break;
    case report::kLighting:
      if (r[2] <= kMaxEffect && r[3] <= kMaxBrightness && r[4] <= kMaxSpeed && r[5] <= kMaxColorType && ZeroFrom(r, 6))
        return LightingReport{r[2], r[3], r[4], r[5]};
      break;
    case report::kEffectColor:
      if (r[2] < kProfilePositions && r[3] == kEffectColorMarker && ZeroFrom(r, 7))
        return EffectColorReport{r[2], Rgb{r[4], r[5], r[6]}};
      break;
    case report::kKeyColor:
      if (r[2] < kProfilePositions && r[3] < kMatrixPositions && ZeroFrom(r, 7))
        return KeyColorReport{r[2], r[3], Rgb{r[4], r[5], r[6]}};
      break;
    case report::kKeyMapHeader:
      if (r[2] == 0x01 && ZeroFrom(r, 3)) return KeyMapHeader{};
      break;
    case report::kMacroHeader:
      if (r[2] == 0x01 && r[3] >= 1 && r[3] <= kMatrixPositions && r[4] == 0x01 && ZeroFrom(r, 5))
        return MacroHeader{r[3]};
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace

Macro MacroFromPayload(const std::array<uint8_t, kMacroPayloadBytes>& payload) {
  Macro macro;
  macro.repeat = static_cast<uint16_t>(payload[0] << 8 | payload[1]);
  for (int i = 0; i < kMacroEventCount; ++i) {
    const uint8_t* e = &payload[2 + 3 * i];
    macro.events[i] = MacroEvent{e[0], e[1], e[2]};
  }
  return macro;
}

std::optional<OutputReport> ParseOutputReport(int usage, const uint8_t* bytes, std::size_t length) {
  if (length != kReportSize || bytes == nullptr) return std::nullopt;
  Report r;
  std::copy(bytes, bytes + kReportSize, r.begin());
  switch (usage) {
    case kCommandUsage:
      return ParseCommand(r);
    case kKeyMapUsage:
      if (r[0] == report::kKeyMapChunk && r[1] >= 1 && r[1] <= kKeyMapChunkCount) return KeyMapChunk{ChunkOf(r)};
      return std::nullopt;
    case kMacroUsage:
      if (r[0] == report::kMacroChunk && r[1] >= 1 && r[1] <= kMacroChunkCount) return MacroChunk{ChunkOf(r)};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace korvex::devsim
