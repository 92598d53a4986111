#include "devsim/virtual_keyboard.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>

#include "devsim/input_reports.h"
#include "devsim/state_json.h"
#include "xml/atomic_file.h"

namespace korvex::devsim {

namespace {

// Values the keyboard's own keys can produce.
constexpr int kKeyboardEffects = 10, kKeyboardDirections = 2, kKeyboardBrightnessLevels = 5;

// A state file is a few tens of kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxStateFileBytes = 4u << 20;

bool InRange(int value, int count) { return value >= 0 && value < count; }

std::optional<std::string> ReadSmallFile(const std::filesystem::path& file) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size > kMaxStateFileBytes) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

}  // namespace

int64_t SteadyClockMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CVirtualKeyboard::CVirtualKeyboard(Clock clock)
    : clock_(clock ? std::move(clock) : Clock(SteadyClockMs)), plugTimeMs_(clock_()), state_(FactoryState()) {}

// ---- host side ----

bool CVirtualKeyboard::ReceiveReport(int usage, const uint8_t* bytes, std::size_t length) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged) return false;
  log_.Add(clock_() - plugTimeMs_, usage, bytes, length);

  const std::optional<OutputReport> report = ParseOutputReport(usage, bytes, length);
  bool brokeTransfer = false;
  if (transfer_.kind != TransferKind::None) {
    if (report && ContinuesTransfer(*report)) {
      const int chunks = transfer_.kind == TransferKind::KeyMap ? kKeyMapChunkCount : kMacroChunkCount;
      std::visit([&](const auto& r) {
        if constexpr (std::is_base_of_v<DataChunk, std::decay_t<decltype(r)>>) TakeChunk(r, chunks);
      }, *report);
      return true;
    }
    transfer_ = {};
    brokeTransfer = true;
  }
  const bool accepted = report && std::visit([this](const auto& r) { return Apply(r); }, *report);
  if (brokeTransfer || !accepted) ++state_.errors;
  return accepted;
}

bool CVirtualKeyboard::ReadReport(int usage, uint8_t* buffer, std::size_t length) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged || usage != kCommandUsage || buffer == nullptr || length != kReportSize || !versionReply_)
    return false;
  std::copy(versionReply_->begin(), versionReply_->end(), buffer);
  versionReply_.reset();
  return true;
}

bool CVirtualKeyboard::ContinuesTransfer(const OutputReport& report) const {
  if (const auto* chunk = std::get_if<KeyMapChunk>(&report))
    return transfer_.kind == TransferKind::KeyMap && chunk->number == transfer_.nextChunk;
  if (const auto* chunk = std::get_if<MacroChunk>(&report))
    return transfer_.kind == TransferKind::Macro && chunk->number == transfer_.nextChunk;
  return false;
}

void CVirtualKeyboard::TakeChunk(const DataChunk& chunk, int chunkCount) {
  std::copy(chunk.data.begin(), chunk.data.end(), transfer_.data.begin() + (chunk.number - 1) * kChunkDataBytes);
  if (transfer_.nextChunk++ < chunkCount) return;
  if (transfer_.kind == TransferKind::KeyMap)
    std::copy_n(transfer_.data.begin(), kMatrixPositions, state_.keymap.begin());
  else
    state_.macros[transfer_.slot] = MacroFromPayload(transfer_.data);
  transfer_ = {};
}

bool CVirtualKeyboard::Apply(const VersionQuery&) {
  versionReply_ = Report{0x07, 0x80, state_.firmwareMajor, state_.firmwareMinor, 0, 0, 0, 0};
  return true;
}

bool CVirtualKeyboard::Apply(const BeginCommand&) {
  ++state_.begins;
  return true;
}

bool CVirtualKeyboard::Apply(const ResetCommand&) {
  RestoreFactorySettings(state_);
  ++state_.resets;
  return true;
}

bool CVirtualKeyboard::Apply(const LightingReport& r) {
  Lighting& l = state_.lighting;
  l.effect = r.effect;
  l.brightness = r.brightness;
  l.speed = r.speed;
  l.colorType = r.colorType;
  return true;
}

bool CVirtualKeyboard::Apply(const EffectColorReport& r) {
  state_.effectColors[r.position] = r.color;
  return true;
}

bool CVirtualKeyboard::Apply(const KeyColorReport& r) {
  state_.keyColors[r.position][r.matrixPosition] = r.color;
  return true;
}

bool CVirtualKeyboard::Apply(const KeyMapHeader&) {
  transfer_ = {};
  transfer_.kind = TransferKind::KeyMap;
  return true;
}

bool CVirtualKeyboard::Apply(const MacroHeader& r) {
  transfer_ = {};
  transfer_.kind = TransferKind::Macro;
  transfer_.slot = r.slot;
  return true;
}

// ---- keyboard side ----

std::optional<Report> CVirtualKeyboard::SwitchProfile(int position) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged || !InRange(position, kProfilePositions)) return std::nullopt;
  state_.profile = static_cast<uint8_t>(position);
  return BuildProfileSwitched(state_.profile);
}

std::optional<Report> CVirtualKeyboard::ChangeEffect(int effect) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged || !InRange(effect, kKeyboardEffects)) return std::nullopt;
  state_.lighting.effect = static_cast<uint8_t>(effect);
  return BuildEffectChanged(state_.lighting.effect);
}

std::optional<Report> CVirtualKeyboard::ChangeDirection(int direction) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged || !InRange(direction, kKeyboardDirections)) return std::nullopt;
  state_.lighting.direction = static_cast<uint8_t>(direction);
  return BuildDirectionChanged(state_.lighting.direction);
}

std::optional<Report> CVirtualKeyboard::ChangeBrightness(int level) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged || !InRange(level, kKeyboardBrightnessLevels)) return std::nullopt;
  state_.lighting.brightness = static_cast<uint8_t>(level);
  return BuildBrightnessChanged(state_.lighting.brightness);
}

std::optional<Report> CVirtualKeyboard::KeyEvent(int position, bool pressed) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged || !InRange(position, kMatrixPositions)) return std::nullopt;
  return BuildKeyEvent(position, pressed, state_.keymap[position]);
}

std::optional<Report> CVirtualKeyboard::SetSpecialState(bool on) {
  std::lock_guard lock(mutex_);
  if (!state_.plugged) return std::nullopt;
  state_.specialState = on;
  return BuildSpecialState(on);
}

// ---- plug state, inspection, persistence ----

void CVirtualKeyboard::PlugLocked(bool plugged) {
  if (plugged && !state_.plugged) plugTimeMs_ = clock_();
  if (!plugged) {
    transfer_ = {};
    versionReply_.reset();
  }
  state_.plugged = plugged;
}

void CVirtualKeyboard::Plug() {
  std::lock_guard lock(mutex_);
  PlugLocked(true);
}

void CVirtualKeyboard::Unplug() {
  std::lock_guard lock(mutex_);
  PlugLocked(false);
}

bool CVirtualKeyboard::IsPlugged() const {
  std::lock_guard lock(mutex_);
  return state_.plugged;
}

void CVirtualKeyboard::SetFirmwareVersion(uint8_t major, uint8_t minor) {
  std::lock_guard lock(mutex_);
  state_.firmwareMajor = major;
  state_.firmwareMinor = minor;
}

KeyboardState CVirtualKeyboard::State() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::vector<LogEntry> CVirtualKeyboard::Log() const {
  std::lock_guard lock(mutex_);
  return log_.Entries();
}

void CVirtualKeyboard::ClearLog() {
  std::lock_guard lock(mutex_);
  log_.Clear();
}

bool CVirtualKeyboard::SaveState(const std::filesystem::path& file) const {
  return ReplaceFileContents(file, StateToJsonText(State()));
}

bool CVirtualKeyboard::LoadState(const std::filesystem::path& file) {
  KeyboardState loaded;
  const std::optional<std::string> text = ReadSmallFile(file);
  const bool ok = text && StateFromJsonText(*text, loaded);

  std::lock_guard lock(mutex_);
  if (!ok) {
    loaded = FactoryState();
    loaded.plugged = state_.plugged;
    loaded.firmwareMajor = state_.firmwareMajor;
    loaded.firmwareMinor = state_.firmwareMinor;
  }
  const bool plugged = loaded.plugged;
  loaded.plugged = state_.plugged;
  state_ = loaded;
  transfer_ = {};
  versionReply_.reset();
  PlugLocked(plugged);
  return ok;
}

}  // namespace korvex::devsim
