#include "hid/vkb_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace korvex::hid {

namespace {

enum class Argument { None, Number, Hex };

struct VerbInfo {
  std::string_view name;
  VkbVerb verb;
  Argument argument;
  int min = 0, max = 0;  // range of a number
  bool needsKeyboard;
};

constexpr std::array<VerbInfo, 13> kVerbs = {{
    {"plug", VkbVerb::Plug, Argument::None, 0, 0, true},
    {"unplug", VkbVerb::Unplug, Argument::None, 0, 0, true},
    {"profile", VkbVerb::Profile, Argument::Number, 0, 3, true},
    {"effect", VkbVerb::Effect, Argument::Number, 0, 9, true},
    {"direction", VkbVerb::Direction, Argument::Number, 0, 1, true},
    {"brightness", VkbVerb::Brightness, Argument::Number, 0, 4, true},
    {"press", VkbVerb::Press, Argument::Number, 0, 137, true},
    {"special", VkbVerb::Special, Argument::Number, 0, 1, true},
    {"input", VkbVerb::Input, Argument::Hex, 0, 0, true},
    {"state", VkbVerb::State, Argument::None, 0, 0, false},
    {"log", VkbVerb::Log, Argument::None, 0, 0, false},
    {"clear-log", VkbVerb::ClearLog, Argument::None, 0, 0, false},
    {"reset", VkbVerb::Reset, Argument::None, 0, 0, false},
}};

const VerbInfo* FindVerb(std::string_view name) {
  auto it = std::find_if(kVerbs.begin(), kVerbs.end(), [&](const VerbInfo& v) { return v.name == name; });
  return it == kVerbs.end() ? nullptr : &*it;
}

const VerbInfo& InfoOf(VkbVerb verb) {
  return *std::find_if(kVerbs.begin(), kVerbs.end(), [&](const VerbInfo& v) { return v.verb == verb; });
}

std::optional<int> ParseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::vector<uint8_t>> ParseHex(const std::vector<std::string>& words) {
  std::string digits;
  for (const std::string& word : words) digits += word;
  if (digits.empty() || digits.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexDigit(digits[i]), low = HexDigit(digits[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

}  // namespace

std::variant<VkbCommand, std::string> ParseVkbCommand(const std::vector<std::string>& words) {
  if (words.empty()) return std::string("no command given");
  const VerbInfo* info = FindVerb(words[0]);
  if (info == nullptr) return "unknown command '" + words[0] + "'";
  const std::string name(info->name);
  const std::vector<std::string> arguments(words.begin() + 1, words.end());

  VkbCommand command;
  command.verb = info->verb;
  switch (info->argument) {
    case Argument::None:
      if (!arguments.empty()) return name + " takes no argument";
      break;
    case Argument::Number: {
      if (arguments.size() != 1)
        return name + " takes one number from " + std::to_string(info->min) + " to " + std::to_string(info->max);
      const std::optional<int> value = ParseDecimal(arguments[0]);
      if (!value || *value < info->min || *value > info->max)
        return name + ": '" + arguments[0] + "' is not a number from " + std::to_string(info->min) + " to " +
               std::to_string(info->max);
      command.value = *value;
      break;
    }
    case Argument::Hex: {
      const std::optional<std::vector<uint8_t>> bytes = ParseHex(arguments);
      if (!bytes) return name + " takes the report as pairs of hex digits";
      if (bytes->size() > kMaxInputReportBytes)
        return name + ": a report has at most " + std::to_string(kMaxInputReportBytes) + " bytes";
      command.bytes = *bytes;
      break;
    }
  }
  return command;
}

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !blank(line[i])) ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

std::string FormatVkbCommand(const VkbCommand& command) {
  const VerbInfo& info = InfoOf(command.verb);
  std::string line(info.name);
  if (info.argument == Argument::Number) line += " " + std::to_string(command.value);
  if (info.argument == Argument::Hex) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    line += ' ';
    for (uint8_t b : command.bytes) {
      line += kDigits[b >> 4];
      line += kDigits[b & 15];
    }
  }
  return line;
}

bool NeedsRunningKeyboard(VkbVerb verb) { return InfoOf(verb).needsKeyboard; }

std::string VkbUsage() {
  return "usage: KorvexVkb plug | unplug | profile 0-3 | effect 0-9 | direction 0-1 | brightness 0-4 | "
         "press 0-137 | special 1|0 | input HEX | state | log | clear-log | reset";
}

}  // namespace korvex::hid
