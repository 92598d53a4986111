#pragma once
// Turns one input report of the keyboard into the window messages it stands
// for: keyboard events for the service window, and the special state for the
// settings page. Pure: no state, no I/O; the transport posts the result.
//
// Only the delivered bytes are looked at: a test on a byte beyond `length`
// fails, and a rule whose event would carry such a byte does not apply.

#include <cstddef>
#include <cstdint>
#include <vector>

enum class PostTarget {
  kServiceWindow,  // the transport's notify window
  kSettingsPage,   // the child "Korvex" of the top-level window "Korvex"
};

struct DecodedPost {
  PostTarget target;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  friend bool operator==(const DecodedPost&, const DecodedPost&) = default;
};

// At most two posts: a report can match one lighting/profile rule and the
// generic key-event rule at the same time.
std::vector<DecodedPost> DecodeInputReport(const uint8_t* bytes, size_t length);
