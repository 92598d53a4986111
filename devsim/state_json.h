#pragma once
// The keyboard's memory and its report log as JSON text: the state file that
// lets the virtual keyboard survive restarts, and what the inspection tool
// prints.
//
// State:
//   {"plugged": bool, "firmware": [major, minor], "profile": p,
//    "keymap": [138 numbers],
//    "macros": {"<slot>": {"repeat": n, "events": [[h, l, map], ...]}, ...},
//    "lighting": {"effect": e, "direction": d, "brightness": b, "speed": s, "colorType": c},
//    "effectColor": {"0": [r, g, b], ... "3": [r, g, b]},
//    "keyColors": {"0": [[r, g, b] x 138], ... "3": [...]},
//    "special": bool, "begins": n, "resets": n, "errors": n}
// A macro lists its events up to the last one that is not all zero; the rest
// are zero.
//
// Log: [{"t": ms, "usage": u, "bytes": [8 numbers]}, ...], with "length": n
// added to the entries of reports whose length was not 8.

#include <string>
#include <string_view>
#include <vector>

#include "devsim/keyboard_state.h"
#include "devsim/report_log.h"

namespace korvex::devsim {

std::string StateToJsonText(const KeyboardState& state);

// Fills `state` from JSON text of the shape above. Returns false, leaving
// `state` untouched, when the text is not JSON, a member is missing, or a
// value has the wrong type or is out of range.
bool StateFromJsonText(std::string_view text, KeyboardState& state);

std::string ReportLogToJsonText(const std::vector<LogEntry>& log);
bool ReportLogFromJsonText(std::string_view text, std::vector<LogEntry>& log);

}  // namespace korvex::devsim
