#pragma once
// The reports the keyboard sends to the host, built from the event they
// announce. Every layout lives in the one table of input_reports.cpp.
//
// The host's decoder tests bytes in a fixed order (a profile switch, a key
// press with class b3, an effect, a direction and a brightness change by
// patterns of b0 to b4, then everything starting with 08 as a key event or
// the special state), so each layout is chosen to match exactly one of its
// tests: lighting events start with 0D and a second byte other than 03 and 05,
// and only key events and the special state start with 08. A builder refuses
// (returns nothing) an event whose report would decode as something else.

#include <cstdint>
#include <optional>

#include "devsim/output_reports.h"

namespace korvex::devsim {

enum class InputReportKind {
  ProfileSwitched,    // 0D 03 p  00 00 00 00 00
  EffectChanged,      // 0D 0A 01 01 e  00 00 00
  DirectionChanged,   // 0D 02 0C d  00 00 00 00
  BrightnessChanged,  // 0D 0A 01 07 l  00 00 00
  KeyEvent,           // 08 m  f  c  00 00 00 00  (matrix position, 1 pressed / 0 released, key map code)
  SpecialStateOn,     // 08 FE 06 00 00 00 00 00
  SpecialStateOff,    // 08 FE 05 00 00 00 00 00
};

Report BuildProfileSwitched(uint8_t position);
Report BuildEffectChanged(uint8_t effect);
Report BuildDirectionChanged(uint8_t direction);
Report BuildBrightnessChanged(uint8_t level);
Report BuildSpecialState(bool on);

// A key press or release at matrix position `position` carrying key map code
// `code`. Refused for a position outside the matrix, for code AC (the host
// drops key events with that code), and for a press with code 01 or 07 (the
// host would read the report as an effect or brightness change as well).
std::optional<Report> BuildKeyEvent(int position, bool pressed, uint8_t code);

}  // namespace korvex::devsim
