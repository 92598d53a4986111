#pragma once
// The platform seam for code-page conversion: MultiByteToWideChar and
// WideCharToMultiByte on Windows, iconv elsewhere. Natively the system ANSI
// code page is Windows-1252.

#include <string>
#include <string_view>

namespace korvex::xml {

bool SystemBytesToUtf16(unsigned codePage, std::string_view bytes, std::u16string& text);
bool SystemUtf16ToBytes(unsigned codePage, std::u16string_view text, std::string& bytes,
                        bool& lost);

}  // namespace korvex::xml
