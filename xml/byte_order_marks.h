#pragma once
// The byte-order marks, in the order they are tried when reading and writing.

#include <string_view>

#include "xml/code_page.h"
#include "xml/xml_document.h"

namespace korvex::xml {

struct ByteOrderMark {
  std::string_view bytes;
  std::string_view name;
  unsigned flag;
  unsigned codePage;
};

inline constexpr ByteOrderMark kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", "UTF-8", XML_FLAG_UTF8_BOM, kCodePageUtf8},
    {"\xFF\xFE", "UTF-16LE", XML_FLAG_UTF16LE, kCodePageUtf16LE},
    {"\xFE\xFF", "UTF-16BE", XML_FLAG_UTF16BE, kCodePageUtf16BE},
};

inline constexpr unsigned kByteOrderMarkFlags =
    XML_FLAG_UTF8_BOM | XML_FLAG_UTF16LE | XML_FLAG_UTF16BE;

}  // namespace korvex::xml
