#include "devsim/input_reports.h"

namespace korvex::devsim {

namespace {

constexpr int kNone = -1;

// One input report layout: the constant bytes, and where the event's values go.
struct InputReportLayout {
  InputReportKind kind;
  Report fixed;
  int valueAt = kNone;  // profile position, effect, direction, level, or matrix position
  int flagAt = kNone;   // key events: pressed flag
  int codeAt = kNone;   // key events: key map code
};

constexpr InputReportLayout kLayouts[] = {
    {InputReportKind::ProfileSwitched, {0x0D, 0x03, 0, 0, 0, 0, 0, 0}, 2},
    {InputReportKind::EffectChanged, {0x0D, 0x0A, 0x01, 0x01, 0, 0, 0, 0}, 4},
    {InputReportKind::DirectionChanged, {0x0D, 0x02, 0x0C, 0, 0, 0, 0, 0}, 3},
    {InputReportKind::BrightnessChanged, {0x0D, 0x0A, 0x01, 0x07, 0, 0, 0, 0}, 4},
    {InputReportKind::KeyEvent, {0x08, 0, 0, 0, 0, 0, 0, 0}, 1, 2, 3},
    {InputReportKind::SpecialStateOn, {0x08, 0xFE, 0x06, 0, 0, 0, 0, 0}},
    {InputReportKind::SpecialStateOff, {0x08, 0xFE, 0x05, 0, 0, 0, 0, 0}},
};

constexpr const InputReportLayout& LayoutOf(InputReportKind kind) {
  for (const InputReportLayout& layout : kLayouts)
    if (layout.kind == kind) return layout;
  return kLayouts[0];  // unreachable: every kind has a row
}

Report Build(InputReportKind kind, uint8_t value = 0, uint8_t flag = 0, uint8_t code = 0) {
  const InputReportLayout& layout = LayoutOf(kind);
  Report report = layout.fixed;
  if (layout.valueAt != kNone) report[layout.valueAt] = value;
  if (layout.flagAt != kNone) report[layout.flagAt] = flag;
  if (layout.codeAt != kNone) report[layout.codeAt] = code;
  return report;
}

// Key map codes the host treats specially in a key event report.
constexpr uint8_t kDroppedKeyCode = 0xAC;
constexpr uint8_t kEffectPatternCode = 0x01, kBrightnessPatternCode = 0x07;

}  // namespace

Report BuildProfileSwitched(uint8_t position) { return Build(InputReportKind::ProfileSwitched, position); }
Report BuildEffectChanged(uint8_t effect) { return Build(InputReportKind::EffectChanged, effect); }
Report BuildDirectionChanged(uint8_t direction) { return Build(InputReportKind::DirectionChanged, direction); }
Report BuildBrightnessChanged(uint8_t level) { return Build(InputReportKind::BrightnessChanged, level); }

Report BuildSpecialState(bool on) {
  return Build(on ? InputReportKind::SpecialStateOn : InputReportKind::SpecialStateOff);
}

std::optional<Report> BuildKeyEvent(int position, bool pressed, uint8_t code) {
  if (position < 0 || position >= kMatrixPositions) return std::nullopt;
  if (code == kDroppedKeyCode) return std::nullopt;
  if (pressed && (code == kEffectPatternCode || code == kBrightnessPatternCode)) return std::nullopt;
  return Build(InputReportKind::KeyEvent, static_cast<uint8_t>(position), pressed ? 1 : 0, code);
}

}  // namespace korvex::devsim
