#pragma once
// The control channel between the control tool and a running virtual
// keyboard: the tool connects, sends one command line ending in a line break,
// and reads one reply line:
//   {"ok": true, "result": <JSON value>}   or   {"ok": false, "error": "<one line>"}

#include <string>
#include <string_view>

namespace korvex::hid {

// What a command came to: its JSON result, or a one-line error.
struct VkbOutcome {
  bool ok = false;
  std::string text;  // the result as JSON text when ok, else the error message

  static VkbOutcome Success(std::string json) { return {true, std::move(json)}; }
  static VkbOutcome Failure(std::string message) { return {false, std::move(message)}; }
};

// Longest request line the keyboard accepts: the longest command with room to spare.
constexpr std::size_t kMaxRequestBytes = 1024;

// The reply line for an outcome, line break included.
std::string FormatReply(const VkbOutcome& outcome);

// The outcome a reply line carries; a reply that is not of that shape is a failure.
VkbOutcome ParseReply(std::string_view line);

}  // namespace korvex::hid
