#pragma once
// Text files of the data folder as bytes on disk and as UTF-16 in memory.

#include <string>
#include <string_view>

namespace korvex {

// Decodes a whole text file. The byte-order mark decides the encoding:
// FF FE UTF-16LE, FE FF UTF-16BE, EF BB BF UTF-8; without a mark the bytes are
// read as UTF-8, and bytes that do not form UTF-8 as Latin-1 characters. A
// final odd byte of a UTF-16 file is a character of its own (upper half zero).
std::u16string DecodeFileText(std::string_view bytes);

// UTF-16LE bytes of `text`, preceded by the mark FF FE.
std::string EncodeUtf16LeWithMark(std::u16string_view text);

}  // namespace korvex
