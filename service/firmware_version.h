#pragma once
// The firmware version as the service stores it: the two numbers the
// keyboard reports, written one after the other in decimal (1 and 5 give
// "15", 1 and 12 give "112").

#include <cstdint>
#include <string>
#include <string_view>

std::u16string FormatFirmwareVersion(uint8_t major, uint8_t minor);

// The text to store: `version`, or a single space when there is none (the
// stored value is never empty).
std::u16string StoredFirmwareVersion(std::u16string_view version);
