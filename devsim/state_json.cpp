#include "devsim/state_json.h"

#include <limits>
#include <nlohmann/json.hpp>

namespace korvex::devsim {

namespace {

using nlohmann::json;

// ---- writing ----

json RgbToJson(const Rgb& c) { return json::array({c.red, c.green, c.blue}); }

json MacroToJson(const Macro& macro) {
  int used = kMacroEventCount;
  while (used > 0 && macro.events[used - 1] == MacroEvent{}) --used;
  json events = json::array();
  for (int i = 0; i < used; ++i) {
    const MacroEvent& e = macro.events[i];
    events.push_back(json::array({e.attributeH, e.attributeL, e.map}));
  }
  return {{"repeat", macro.repeat}, {"events", std::move(events)}};
}

// ---- reading: every helper returns false on a missing member, a wrong type
// or a value out of range, and writes its output only on success ----

bool ReadUnsigned(const json& j, uint64_t max, uint64_t& out) {
  if (!j.is_number_unsigned()) return false;
  const uint64_t value = j.get<uint64_t>();
  if (value > max) return false;
  out = value;
  return true;
}

template <typename T>
bool ReadNumber(const json& j, T& out, uint64_t max = std::numeric_limits<T>::max()) {
  uint64_t value;
  if (!ReadUnsigned(j, max, value)) return false;
  out = static_cast<T>(value);
  return true;
}

bool ReadBool(const json& j, bool& out) {
  if (!j.is_boolean()) return false;
  out = j.get<bool>();
  return true;
}

const json* Member(const json& object, const char* name) {
  if (!object.is_object()) return nullptr;
  auto it = object.find(name);
  return it == object.end() ? nullptr : &*it;
}

template <typename T>
bool ReadMember(const json& object, const char* name, T& out) {
  const json* j = Member(object, name);
  if (!j) return false;
  if constexpr (std::is_same_v<T, bool>)
    return ReadBool(*j, out);
  else
    return ReadNumber(*j, out);
}

// An array of exactly out.size() bytes.
template <std::size_t N>
bool ReadBytes(const json& j, std::array<uint8_t, N>& out) {
  if (!j.is_array() || j.size() != N) return false;
  for (std::size_t i = 0; i < N; ++i)
    if (!ReadNumber(j[i], out[i])) return false;
  return true;
}

bool ReadRgb(const json& j, Rgb& out) {
  std::array<uint8_t, 3> c;
  if (!ReadBytes(j, c)) return false;
  out = Rgb{c[0], c[1], c[2]};
  return true;
}

bool ReadMacro(const json& j, Macro& out) {
  Macro macro;
  const json* events = Member(j, "events");
  if (!ReadMember(j, "repeat", macro.repeat) || !events || !events->is_array() || events->size() > kMacroEventCount)
    return false;
  for (std::size_t i = 0; i < events->size(); ++i) {
    std::array<uint8_t, 3> e;
    if (!ReadBytes((*events)[i], e)) return false;
    macro.events[i] = MacroEvent{e[0], e[1], e[2]};
  }
  out = macro;
  return true;
}

// Parses the decimal key of a JSON object member ("0" to `max`, no sign, no
// leading zeros).
bool ReadIndexKey(const std::string& key, int max, int& out) {
  if (key.empty() || key.size() > 3 || (key.size() > 1 && key[0] == '0')) return false;
  int value = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > max) return false;
  out = value;
  return true;
}

bool ReadMacros(const json& j, std::map<int, Macro>& out) {
  if (!j.is_object()) return false;
  std::map<int, Macro> macros;
  for (auto it = j.begin(); it != j.end(); ++it) {
    int slot;
    if (!ReadIndexKey(it.key(), kMatrixPositions, slot) || slot == 0 || !ReadMacro(it.value(), macros[slot]))
      return false;
  }
  out = std::move(macros);
  return true;
}

bool ReadLighting(const json& j, Lighting& out) {
  Lighting l;
  if (!ReadMember(j, "effect", l.effect) || !ReadMember(j, "direction", l.direction) ||
      !ReadMember(j, "brightness", l.brightness) || !ReadMember(j, "speed", l.speed) ||
      !ReadMember(j, "colorType", l.colorType))
    return false;
  out = l;
  return true;
}

// An object with one member per profile position, "0" to "3", each read by `read`.
template <typename T, typename ReadOne>
bool ReadPerPosition(const json& j, std::array<T, kProfilePositions>& out, ReadOne read) {
  if (!j.is_object() || j.size() != kProfilePositions) return false;
  std::array<T, kProfilePositions> values{};
  for (int p = 0; p < kProfilePositions; ++p) {
    const json* member = Member(j, std::to_string(p).c_str());
    if (!member || !read(*member, values[p])) return false;
  }
  out = values;
  return true;
}

bool ReadKeyColors(const json& j, KeyColors& out) {
  if (!j.is_array() || j.size() != kMatrixPositions) return false;
  for (int m = 0; m < kMatrixPositions; ++m)
    if (!ReadRgb(j[m], out[m])) return false;
  return true;
}

bool ReadState(const json& j, KeyboardState& out) {
  KeyboardState s;
  const json* firmware = Member(j, "firmware");
  std::array<uint8_t, 2> version;
  const json* keymap = Member(j, "keymap");
  const json* macros = Member(j, "macros");
  const json* lighting = Member(j, "lighting");
  const json* effectColor = Member(j, "effectColor");
  const json* keyColors = Member(j, "keyColors");
  if (!ReadMember(j, "plugged", s.plugged) || !firmware || !ReadBytes(*firmware, version) ||
      !ReadMember(j, "profile", s.profile) || s.profile >= kProfilePositions || !keymap ||
      !ReadBytes(*keymap, s.keymap) || !macros || !ReadMacros(*macros, s.macros) || !lighting ||
      !ReadLighting(*lighting, s.lighting) || !effectColor || !ReadPerPosition(*effectColor, s.effectColors, ReadRgb) ||
      !keyColors || !ReadPerPosition(*keyColors, s.keyColors, ReadKeyColors) ||
      !ReadMember(j, "special", s.specialState) || !ReadMember(j, "begins", s.begins) ||
      !ReadMember(j, "resets", s.resets) || !ReadMember(j, "errors", s.errors))
    return false;
  s.firmwareMajor = version[0];
  s.firmwareMinor = version[1];
  out = std::move(s);
  return true;
}

// A signed integer member that fits T.
template <typename T>
bool ReadSignedMember(const json& object, const char* name, T& out) {
  const json* j = Member(object, name);
  if (!j || !j->is_number_integer()) return false;
  if (j->is_number_unsigned() && j->get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<T>::max()))
    return false;
  const int64_t value = j->get<int64_t>();
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) return false;
  out = static_cast<T>(value);
  return true;
}

bool ReadLogEntry(const json& j, LogEntry& out) {
  LogEntry e;
  const json* bytes = Member(j, "bytes");
  if (!ReadSignedMember(j, "t", e.timeMs) || !ReadSignedMember(j, "usage", e.usage) || !bytes ||
      !ReadBytes(*bytes, e.bytes))
    return false;
  if (Member(j, "length") && !ReadMember(j, "length", e.length)) return false;
  out = e;
  return true;
}

}  // namespace

std::string StateToJsonText(const KeyboardState& state) {
  json macros = json::object();
  for (const auto& [slot, macro] : state.macros) macros[std::to_string(slot)] = MacroToJson(macro);
  json effectColor = json::object(), keyColors = json::object();
  for (int p = 0; p < kProfilePositions; ++p) {
    effectColor[std::to_string(p)] = RgbToJson(state.effectColors[p]);
    json colors = json::array();
    for (const Rgb& c : state.keyColors[p]) colors.push_back(RgbToJson(c));
    keyColors[std::to_string(p)] = std::move(colors);
  }
  const Lighting& l = state.lighting;
  const json j = {
      {"plugged", state.plugged},
      {"firmware", json::array({state.firmwareMajor, state.firmwareMinor})},
      {"profile", state.profile},
      {"keymap", state.keymap},
      {"macros", std::move(macros)},
      {"lighting",
       {{"effect", l.effect}, {"direction", l.direction}, {"brightness", l.brightness}, {"speed", l.speed},
        {"colorType", l.colorType}}},
      {"effectColor", std::move(effectColor)},
      {"keyColors", std::move(keyColors)},
      {"special", state.specialState},
      {"begins", state.begins},
      {"resets", state.resets},
      {"errors", state.errors},
  };
  return j.dump();
}

bool StateFromJsonText(std::string_view text, KeyboardState& state) {
  const json j = json::parse(text, nullptr, /*allow_exceptions=*/false);
  return !j.is_discarded() && ReadState(j, state);
}

std::string ReportLogToJsonText(const std::vector<LogEntry>& log) {
  json entries = json::array();
  for (const LogEntry& e : log) {
    json entry = {{"t", e.timeMs}, {"usage", e.usage}, {"bytes", e.bytes}};
    if (e.length != kReportSize) entry["length"] = e.length;
    entries.push_back(std::move(entry));
  }
  return entries.dump();
}

bool ReportLogFromJsonText(std::string_view text, std::vector<LogEntry>& log) {
  const json j = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (j.is_discarded() || !j.is_array()) return false;
  std::vector<LogEntry> entries(j.size());
  for (std::size_t i = 0; i < j.size(); ++i)
    if (!ReadLogEntry(j[i], entries[i])) return false;
  log = std::move(entries);
  return true;
}

}  // namespace korvex::devsim
