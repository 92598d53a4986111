#include "service/debug_trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>

void WriteTrace(const DebugTrace& trace, const char* format, ...) {
  if (!trace) return;
  char narrow[256];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(narrow, sizeof narrow, format, args);
  va_end(args);
  if (n < 0) return;
  size_t length = static_cast<size_t>(n) < sizeof narrow ? static_cast<size_t>(n) : sizeof narrow - 1;
  std::u16string line(narrow, narrow + length);
  trace(line);
}
