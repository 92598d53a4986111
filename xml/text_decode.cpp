// Decoding the bytes of a whole text file into UTF-16 (the reading half of
// CXmlDocument::ReadTextFile).

#include <algorithm>

#include "xml/byte_order_marks.h"
#include "xml/code_page.h"
#include "xml/encoding_declaration.h"
#include "xml/text_format.h"
#include "xml/unicode_codec.h"
#include "xml/xml_document.h"

using namespace korvex::xml;

namespace {

// UTF-16 units from bytes in the given byte order; NUL units are dropped and
// counted. A trailing odd byte is ignored.
std::size_t AppendUtf16Units(std::string_view bytes, bool bigEndian, std::u16string& text) {
  std::size_t nulls = 0;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto b0 = static_cast<unsigned char>(bytes[i]);
    auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    auto unit = static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : b0 | (b1 << 8));
    if (unit == 0)
      ++nulls;
    else
      text.push_back(unit);
  }
  return nulls;
}

void NoteNulls(std::u16string& notes, std::size_t nulls) {
  if (nulls == 0) return;
  AppendAscii(notes, "(");
  AppendDecimal(notes, static_cast<long long>(nulls));
  AppendAscii(notes, " nulls removed) ");
}

}  // namespace

bool CXmlDocument::DecodeTextBytes(std::string_view bytes, std::u16string& text,
                                   std::u16string* result, unsigned* flags) {
  unsigned localFlags = flags ? *flags : 0;
  localFlags |= XML_FLAG_READING;
  // The mark flags describe the file just read, so none survives from before.
  localFlags &= ~kByteOrderMarkFlags;
  text.clear();

  std::u16string encoding;
  const ByteOrderMark* mark = nullptr;
  for (const auto& candidate : kByteOrderMarks) {
    if (bytes.substr(0, candidate.bytes.size()) == candidate.bytes) {
      mark = &candidate;
      localFlags |= candidate.flag;
      AppendAscii(encoding, candidate.name);
      bytes.remove_prefix(candidate.bytes.size());
      break;
    }
  }
  unsigned codePage = kCodePageAnsi;
  bool known = mark != nullptr;
  if (mark) {
    codePage = mark->codePage;
  } else {
    encoding = DeclaredEncoding(bytes.substr(0, kDeclarationHeadSize));
    if (encoding.empty() && !bytes.empty() && bytes[0] == '<') AppendAscii(encoding, "UTF-8");
    codePage = CodePageFromCharset(encoding);
    // A declaration readable as single bytes cannot be true of a UTF-16 file:
    // decide by the bytes instead.
    if (IsUtf16CodePage(codePage)) encoding.clear();
    known = !encoding.empty();
  }

  std::u16string notes;
  bool ok = true;
  if (bytes.empty()) {
    AppendAscii(notes, "0 length ");
  } else if (IsUtf16CodePage(codePage)) {
    bool bigEndian = codePage == kCodePageUtf16BE;
    NoteNulls(notes, AppendUtf16Units(bytes, bigEndian, text));
    if (bigEndian) AppendAscii(notes, "endian swap ");
  } else {
    std::string withoutNulls;
    std::string_view content = bytes;
    bool utf32 = codePage == kCodePageUtf32LE || codePage == kCodePageUtf32BE;
    std::size_t nulls = utf32 ? 0 : static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\0'));
    if (nulls > 0) {
      withoutNulls.reserve(bytes.size() - nulls);
      std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(withoutNulls),
                   [](char b) { return b != '\0'; });
      content = withoutNulls;
      NoteNulls(notes, nulls);
    }
    if (!known) {
      codePage = IsWellFormedUtf8(content) ? kCodePageUtf8 : kCodePageAnsi;
      AppendAscii(notes, "(used UTF-8 detection) ");
    }
    ok = AppendBytesAsUtf16(codePage, content, text);
    if (!ok && codePage != kCodePageAnsi) {
      // A code page the platform cannot convert: read it as the ANSI code page.
      text.clear();
      ok = AppendBytesAsUtf16(kCodePageAnsi, content, text);
    }
    if (utf32) text.erase(std::remove(text.begin(), text.end(), u'\0'), text.end());
    AppendAscii(notes, "to ");
    AppendDecimal(notes, static_cast<long long>(text.size()));
    AppendAscii(notes, " wide chars ");
  }

  if (result) {
    result->clear();
    if (known)
      *result = encoding;
    else
      AppendAscii(*result, codePage == kCodePageUtf8 ? "UTF-8" : "ANSI");
    if (mark) AppendAscii(*result, " BOM +");
    AppendAscii(*result, " ");
    *result += notes;
  }
  if (!ok) text.clear();
  localFlags &= ~XML_FLAG_READING;
  if (flags) *flags = localFlags;
  return ok;
}
