#pragma once
// Conversions between the system's UTF-16 text and UTF-8.

#include <string>
#include <string_view>

namespace korvex::hid {

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

// The value of an environment variable, empty when unset.
std::wstring EnvironmentValue(const wchar_t* name);

// Writes one line to the debugger output, prefixed with the library's name.
void DebugTrace(const std::wstring& line);

}  // namespace korvex::hid
