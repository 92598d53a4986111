// Encoding UTF-16 text into the bytes of a text file (the writing half of
// CXmlDocument::WriteTextFile).

#include "xml/byte_order_marks.h"
#include "xml/code_page.h"
#include "xml/encoding_declaration.h"
#include "xml/text_format.h"
#include "xml/xml_document.h"

using namespace korvex::xml;

namespace {

void AppendUtf16Units(std::u16string_view text, bool bigEndian, std::string& bytes) {
  std::size_t at = bytes.size();
  bytes.resize(at + 2 * text.size());
  char* out = bytes.data() + at;
  for (char16_t unit : text) {
    char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    *out++ = bigEndian ? high : low;
    *out++ = bigEndian ? low : high;
  }
}

const ByteOrderMark* MarkOfFlag(unsigned flag) {
  for (const auto& mark : kByteOrderMarks)
    if (mark.flag == flag) return &mark;
  return nullptr;
}

}  // namespace

bool CXmlDocument::EncodeTextBytes(std::u16string_view text, bool fileEmpty, std::string& bytes,
                                   std::u16string* result, unsigned* flags) {
  unsigned localFlags = flags ? *flags : 0;
  localFlags |= XML_FLAG_WRITING;
  bytes.clear();

  const ByteOrderMark* mark = nullptr;
  for (const auto& candidate : kByteOrderMarks) {
    if (localFlags & candidate.flag) {
      mark = &candidate;
      break;
    }
  }
  std::u16string encoding;
  unsigned codePage = kCodePageAnsi;
  if (mark) {
    AppendAscii(encoding, mark->name);
    codePage = mark->codePage;
  } else {
    encoding = DeclaredEncoding(text.substr(0, kDeclarationHeadSize));
    if (encoding.empty() && !text.empty() && text[0] == '<') AppendAscii(encoding, "UTF-8");
    codePage = CodePageFromCharset(encoding);
    if (encoding.empty()) AppendAscii(encoding, "ANSI");
    // Text that declares UTF-16 is written as UTF-16 with its mark: without
    // the mark a reader would take the file for single bytes.
    if (IsUtf16CodePage(codePage)) {
      mark = MarkOfFlag(codePage == kCodePageUtf16BE ? XML_FLAG_UTF16BE : XML_FLAG_UTF16LE);
      localFlags |= mark->flag;
    }
  }
  if (mark && fileEmpty) bytes.append(mark->bytes);
  std::size_t markLength = bytes.size();

  std::u16string notes;
  bool ok = true;
  std::size_t written = 0;
  if (text.empty()) {
    AppendAscii(notes, "0 length ");
  } else if (IsUtf16CodePage(codePage)) {
    bool bigEndian = codePage == kCodePageUtf16BE;
    AppendUtf16Units(text, bigEndian, bytes);
    if (bigEndian) AppendAscii(notes, "endian swap ");
    written = text.size();
  } else {
    AppendAscii(notes, "from wide length ");
    AppendDecimal(notes, static_cast<long long>(text.size()));
    AppendAscii(notes, " ");
    bool lost = false;
    ok = AppendUtf16AsBytes(codePage, text, bytes, lost);
    if (!ok && codePage != kCodePageAnsi) {
      // A code page the platform cannot convert to: write the ANSI code page.
      bytes.resize(markLength);
      ok = AppendUtf16AsBytes(kCodePageAnsi, text, bytes, lost);
    }
    if (lost) AppendAscii(notes, "(chars lost in conversion!) ");
    written = bytes.size() - markLength;
  }

  if (result) {
    *result = encoding;
    AppendAscii(*result, " ");
    *result += notes;
    AppendAscii(*result, "length ");
    AppendDecimal(*result, static_cast<long long>(written));
    AppendAscii(*result, " ");
  }
  localFlags &= ~XML_FLAG_WRITING;
  if (flags) *flags = localFlags;
  return ok;
}
