#pragma once
// Windows-1252, the system ANSI code page of the native build, converted the
// way Windows converts it: every byte maps to one character (the five bytes
// the code page leaves undefined map to the C1 controls of the same value), so
// any byte sequence survives a read and a write unchanged.

#include <string>
#include <string_view>

namespace korvex::xml {

void AppendWindows1252AsUtf16(std::string_view bytes, std::u16string& text);

// Characters Windows-1252 cannot hold become '?' and set `lost`.
void AppendUtf16AsWindows1252(std::u16string_view text, std::string& bytes, bool& lost);

}  // namespace korvex::xml
