#include "service/firmware_version.h"

namespace {
void AppendDecimal(std::u16string& text, unsigned value) {
  const std::string digits = std::to_string(value);
  text.append(digits.begin(), digits.end());
}
}  // namespace

std::u16string FormatFirmwareVersion(uint8_t major, uint8_t minor) {
  std::u16string text;
  AppendDecimal(text, major);
  AppendDecimal(text, minor);
  return text;
}

std::u16string StoredFirmwareVersion(std::u16string_view version) {
  return version.empty() ? std::u16string(u" ") : std::u16string(version);
}
