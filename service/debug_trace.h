#pragma once
// Diagnostic lines for the debugger output. The Windows service binds the
// sink to the debugger output; elsewhere it may be left empty, and the lines
// then go nowhere.

#include <functional>
#include <string_view>

using DebugTrace = std::function<void(std::u16string_view line)>;

// Formats like printf (the format and what it produces are ASCII) and hands
// the line to `trace` when it is set. Lines longer than 255 characters are cut.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void WriteTrace(const DebugTrace& trace, const char* format, ...);
