#include "xml/code_page.h"

#include <algorithm>
#include <iterator>

#include "xml/code_page_system.h"
#include "xml/unicode_codec.h"

namespace korvex::xml {
namespace {

struct CharsetName {
  std::string_view name;  // lower case
  unsigned codePage;
};

// The usual IANA names and aliases of the code pages Windows converts.
constexpr CharsetName kCharsets[] = {
    {"utf-8", kCodePageUtf8},
    {"utf8", kCodePageUtf8},
    {"unicode-1-1-utf-8", kCodePageUtf8},
    {"utf-16", kCodePageUtf16LE},
    {"utf-16le", kCodePageUtf16LE},
    {"unicode", kCodePageUtf16LE},
    {"ucs-2", kCodePageUtf16LE},
    {"iso-10646-ucs-2", kCodePageUtf16LE},
    {"utf-16be", kCodePageUtf16BE},
    {"unicodefffe", kCodePageUtf16BE},
    {"utf-32", kCodePageUtf32LE},
    {"utf-32le", kCodePageUtf32LE},
    {"utf-32be", kCodePageUtf32BE},
    {"us-ascii", 20127},
    {"ascii", 20127},
    {"ansi_x3.4-1968", 20127},
    {"iso646-us", 20127},
    {"iso-8859-1", 28591},
    {"iso_8859-1", 28591},
    {"latin1", 28591},
    {"l1", 28591},
    {"iso-ir-100", 28591},
    {"cp819", 28591},
    {"ibm819", 28591},
    {"iso-8859-2", 28592},
    {"latin2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-8-i", 38598},
    {"iso-8859-9", 28599},
    {"latin5", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"latin-9", 28605},
    {"windows-874", 874},
    {"tis-620", 874},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"cp1250", 1250},
    {"cp1251", 1251},
    {"cp1252", 1252},
    {"cp1253", 1253},
    {"cp1254", 1254},
    {"cp1255", 1255},
    {"cp1256", 1256},
    {"cp1257", 1257},
    {"cp1258", 1258},
    {"x-cp1250", 1250},
    {"x-cp1251", 1251},
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"ms_kanji", 932},
    {"csshiftjis", 932},
    {"windows-31j", 932},
    {"cp932", 932},
    {"euc-jp", 20932},
    {"x-euc-jp", 20932},
    {"iso-2022-jp", 50220},
    {"gb2312", 936},
    {"gbk", 936},
    {"cp936", 936},
    {"x-gbk", 936},
    {"euc-cn", 936},
    {"csgb2312", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"cp950", 950},
    {"csbig5", 950},
    {"x-x-big5", 950},
    {"euc-kr", 949},
    {"ks_c_5601-1987", 949},
    {"ksc5601", 949},
    {"cp949", 949},
    {"korean", 949},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"ibm437", 437},
    {"cp437", 437},
    {"ibm850", 850},
    {"cp850", 850},
    {"ibm852", 852},
    {"cp852", 852},
    {"ibm866", 866},
    {"cp866", 866},
    {"macintosh", 10000},
    {"x-mac-roman", 10000},
};

char16_t FoldAscii(char16_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

bool EqualsFolded(std::u16string_view name, std::string_view lower) {
  return name.size() == lower.size() &&
         std::equal(name.begin(), name.end(), lower.begin(),
                    [](char16_t a, char b) { return FoldAscii(a) == static_cast<unsigned char>(b); });
}

}  // namespace

unsigned CodePageFromCharset(std::u16string_view name) {
  for (const auto& entry : kCharsets)
    if (EqualsFolded(name, entry.name)) return entry.codePage;
  return kCodePageAnsi;
}

bool AppendBytesAsUtf16(unsigned codePage, std::string_view bytes, std::u16string& text) {
  switch (codePage) {
    case kCodePageUtf8:
      AppendUtf8AsUtf16(bytes, text);
      return true;
    case kCodePageUtf32LE:
    case kCodePageUtf32BE:
      AppendUtf32AsUtf16(bytes, codePage == kCodePageUtf32BE, text);
      return true;
    default:
      return SystemBytesToUtf16(codePage, bytes, text);
  }
}

bool AppendUtf16AsBytes(unsigned codePage, std::u16string_view text, std::string& bytes,
                        bool& lost) {
  switch (codePage) {
    case kCodePageUtf8:
      AppendUtf16AsUtf8(text, bytes);
      return true;
    case kCodePageUtf32LE:
    case kCodePageUtf32BE:
      AppendUtf16AsUtf32(text, codePage == kCodePageUtf32BE, bytes);
      return true;
    default:
      return SystemUtf16ToBytes(codePage, text, bytes, lost);
  }
}

}  // namespace korvex::xml
