#pragma once
// Diagnostic lines for the debugger output.
//
// Formats use the Windows conventions for wide formats: "%s" takes a wide
// string, "%hs" a narrow one. Lines are cut at 1023 characters.

#include <string>

namespace korvex {

// Formats like swprintf and returns the text.
std::wstring FormatWide(const wchar_t* format, ...);

// Formats like swprintf and sends the text to the debugger output.
void DebugPrint(const wchar_t* format, ...);

}  // namespace korvex
