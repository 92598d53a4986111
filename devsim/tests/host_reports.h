#pragma once
// Output reports as the host writes them, for driving the virtual keyboard in
// tests. Each report is written out byte by byte from the command catalogue,
// independently of the model's parser.

#include <array>
#include <cstdint>
#include <vector>

#include "devsim/output_reports.h"

namespace korvex::devsim::testing {

struct HostReport {
  int usage;
  Report bytes;
};
using HostReports = std::vector<HostReport>;

inline HostReport VersionQueryReport() { return {2, {0x07, 0x80, 0, 0, 0, 0, 0, 0}}; }
inline HostReport BeginReport() { return {2, {0x0A, 0x03, 0x01, 0, 0, 0, 0, 0}}; }
inline HostReport ResetReport() { return {2, {0x0A, 0x0F, 0, 0, 0, 0, 0, 0}}; }
inline HostReport LightingReportOf(uint8_t effect, uint8_t brightness, uint8_t speed, uint8_t colorType) {
  return {2, {0x0A, 0x0A, effect, brightness, speed, colorType, 0, 0}};
}
inline HostReport EffectColorReportOf(uint8_t position, Rgb c) {
  return {2, {0x0A, 0x0B, position, 0x04, c.red, c.green, c.blue, 0}};
}
inline HostReport KeyColorReportOf(uint8_t position, uint8_t matrixPosition, Rgb c) {
  return {2, {0x0A, 0x0C, position, matrixPosition, c.red, c.green, c.blue, 0}};
}
inline HostReport KeyMapHeaderReport() { return {2, {0x0A, 0x04, 0x01, 0, 0, 0, 0, 0}}; }
inline HostReport MacroHeaderReport(uint8_t slot) { return {2, {0x0A, 0x05, 0x01, slot, 0x01, 0, 0, 0}}; }

// Chunk `number` (from 1) of `data`, six bytes per chunk.
template <std::size_t N>
HostReport ChunkReport(int usage, uint8_t marker, const std::array<uint8_t, N>& data, int number) {
  Report r{marker, static_cast<uint8_t>(number)};
  for (int i = 0; i < 6; ++i) r[2 + i] = data[6 * (number - 1) + i];
  return {usage, r};
}
inline HostReport KeyMapChunkReport(const KeyMap& map, int number) { return ChunkReport(3, 0x0B, map, number); }

using MacroPayload = std::array<uint8_t, 246>;
inline HostReport MacroChunkReport(const MacroPayload& payload, int number) {
  return ChunkReport(4, 0x0C, payload, number);
}

// Header followed by all chunks.
inline HostReports KeyMapDownload(const KeyMap& map) {
  HostReports reports{KeyMapHeaderReport()};
  for (int n = 1; n <= 23; ++n) reports.push_back(KeyMapChunkReport(map, n));
  return reports;
}
inline HostReports MacroDownload(uint8_t slot, const MacroPayload& payload) {
  HostReports reports{MacroHeaderReport(slot)};
  for (int n = 1; n <= 41; ++n) reports.push_back(MacroChunkReport(payload, n));
  return reports;
}

inline MacroPayload PayloadOf(const Macro& macro) {
  MacroPayload p{};
  p[0] = static_cast<uint8_t>(macro.repeat >> 8);
  p[1] = static_cast<uint8_t>(macro.repeat);
  for (int i = 0; i < 80; ++i) {
    p[2 + 3 * i] = macro.events[i].attributeH;
    p[3 + 3 * i] = macro.events[i].attributeL;
    p[4 + 3 * i] = macro.events[i].map;
  }
  return p;
}

// A macro with `count` distinct events and a repeat count above 255.
inline Macro SampleMacro(int count, uint8_t seed) {
  Macro m;
  m.repeat = static_cast<uint16_t>(0x0100 + seed);
  for (int i = 0; i < count; ++i)
    m.events[i] = MacroEvent{static_cast<uint8_t>(i % 2), static_cast<uint8_t>(seed + i), static_cast<uint8_t>(0x04 + i)};
  return m;
}

// A key map different from the factory one at every position.
inline KeyMap SampleKeyMap(uint8_t seed) {
  KeyMap map{};
  for (int i = 0; i < 138; ++i) map[i] = static_cast<uint8_t>(keyboard::kDefaultKeyMap[i] ^ (seed | 1));
  return map;
}

inline HostReports operator+(HostReports a, const HostReports& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace korvex::devsim::testing
