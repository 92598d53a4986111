#pragma once
// Code pages: the charset names the class recognises, and conversion between
// UTF-16 and the bytes of a code page. UTF-8 and UTF-32 are converted by our
// own code; every other code page goes through the platform (see
// code_page_system.h).

#include <string>
#include <string_view>

namespace korvex::xml {

// Windows code page numbers; 0 stands for the system ANSI code page.
enum CodePage : unsigned {
  kCodePageAnsi = 0,
  kCodePageUtf16LE = 1200,
  kCodePageUtf16BE = 1201,
  kCodePageUtf32LE = 12000,
  kCodePageUtf32BE = 12001,
  kCodePageUtf8 = 65001,
};

// The code page a charset name stands for (IANA names and their usual aliases,
// ASCII case ignored); kCodePageAnsi for a name that names no code page.
unsigned CodePageFromCharset(std::u16string_view name);

inline bool IsUtf16CodePage(unsigned codePage) {
  return codePage == kCodePageUtf16LE || codePage == kCodePageUtf16BE;
}

// Appends the bytes, read in the code page (not a UTF-16 one), as UTF-16.
// Bytes invalid in the code page become replacement characters. False when the
// platform cannot convert from this code page at all.
bool AppendBytesAsUtf16(unsigned codePage, std::string_view bytes, std::u16string& text);

// Appends UTF-16 text converted to the code page (not a UTF-16 one). `lost` is
// set when a character had no representation and was replaced. False when the
// platform cannot convert to this code page at all.
bool AppendUtf16AsBytes(unsigned codePage, std::u16string_view text, std::string& bytes,
                        bool& lost);

}  // namespace korvex::xml
