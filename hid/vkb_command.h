#pragma once
// The commands of the virtual keyboard's control tool, as typed on its
// command line and as sent, one line each, over the control channel.
//
//   plug | unplug                        the five interfaces open / close
//   profile P (0-3) | effect E (0-9) | direction D (0-1) | brightness B (0-4)
//   press POS (0-137) | special 1|0      the keyboard sends that input report
//   input HEX                            an arbitrary input report, 1 to 64 bytes
//   state | log | clear-log | reset      inspect or clear the keyboard
//
// Parsing is strict: decimal numbers without sign or blanks, in range; hex as
// pairs of digits (the bytes may be split over several words); nothing extra.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvex::hid {

enum class VkbVerb { Plug, Unplug, Profile, Effect, Direction, Brightness, Press, Special, Input, State, Log, ClearLog, Reset };

struct VkbCommand {
  VkbVerb verb = VkbVerb::State;
  int value = 0;               // the number of profile .. special
  std::vector<uint8_t> bytes;  // the report of input
  friend bool operator==(const VkbCommand&, const VkbCommand&) = default;
};

constexpr std::size_t kMaxInputReportBytes = 64;

// A command, or a one-line message saying what is wrong with the words.
std::variant<VkbCommand, std::string> ParseVkbCommand(const std::vector<std::string>& words);

// The words of a control-channel line, split on blanks.
std::vector<std::string> SplitWords(std::string_view line);

// The command as one line of words (no line break), parsed back to the same command.
std::string FormatVkbCommand(const VkbCommand& command);

// False for the commands that also work on the stored state when no keyboard runs.
bool NeedsRunningKeyboard(VkbVerb verb);

// One line listing the commands, for the tool's usage message.
std::string VkbUsage();

}  // namespace korvex::hid
