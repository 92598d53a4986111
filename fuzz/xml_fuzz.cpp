// Any bytes as an XML file and as UTF-16 text: decoding, parsing, navigating
// and editing must not crash, hang or touch memory outside the document.
// Checked along the way:
//  - UTF-16 text written with a mark decodes back to itself (NULs dropped);
//  - edits of a well-formed document leave an index that reads exactly like
//    a fresh parse of the edited text, and the text stays well-formed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/xml_walk.h"
#include "xml/xml_document.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void Navigate(CXmlDocument& doc, std::u16string_view name) {
  doc.ResetPosition();
  for (int steps = 0; steps < 200; ++steps) {
    if (doc.FindChildElement()) {
      (void)doc.GetChildData();
      (void)doc.GetChildTagName();
      doc.EnterElement();
    } else if (!doc.FindElement() && !doc.LeaveElement()) {
      break;
    }
    (void)doc.GetData();
  }
  (void)GetXmlValue(doc, name, name);
  (void)GetXmlValue(doc, u"a", u"b");
  doc.ResetPosition();
  while (doc.FindChildElement(name)) (void)doc.GetChildData();
}

void Edit(CXmlDocument& doc, std::u16string_view value) {
  bool wellFormed = doc.SetText(std::u16string(doc.GetText()));
  doc.ResetPosition();
  doc.FindChildElement();
  doc.EnterElement();
  doc.SetData(value);
  doc.AddElement(u"added", value);
  doc.AddElement(u"empty");
  doc.EnterElement();
  doc.AddElement(u"inner", u"x<y&z");
  doc.LeaveElement();
  SetXmlInt(doc, -12345, u"number");
  doc.ResetPosition();
  if (doc.FindElement() && doc.FindChildElement()) {
    doc.EnterElement();
    doc.SetData(value);
  }
  if (!wellFormed) {
    Navigate(doc, u"added");
    return;
  }
  std::u16string edited = korvex::testing::WalkElements(doc);
  CXmlDocument fresh;
  fresh.SetFlags(doc.GetFlags());
  Check(fresh.SetText(doc.GetText()));
  Check(korvex::testing::WalkElements(fresh) == edited);
}

void RoundTrip(std::u16string_view text, unsigned flags) {
  std::string bytes;
  Check(CXmlDocument::EncodeTextBytes(text, true, bytes, nullptr, &flags));
  std::u16string back;
  Check(CXmlDocument::DecodeTextBytes(bytes, back, nullptr, &flags));
  std::u16string expected(text);
  expected.erase(std::remove(expected.begin(), expected.end(), u'\0'), expected.end());
  Check(back == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  const unsigned flags = size > 0 && (data[0] & 1) ? XML_FLAG_IGNORE_CASE : 0;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // As a file.
  CXmlDocument fromFile;
  std::u16string text, result;
  unsigned fileFlags = flags;
  CXmlDocument::DecodeTextBytes(bytes, text, &result, &fileFlags);
  fromFile.SetFlags(fileFlags);
  fromFile.SetText(text);
  Navigate(fromFile, u"b");
  Edit(fromFile, u"v&<>");

  // As UTF-16 text.
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  CXmlDocument fromText;
  fromText.SetFlags(flags);
  fromText.SetText(units);
  std::u16string name = units.substr(0, std::min<std::size_t>(units.size(), 3));
  Navigate(fromText, name);
  Edit(fromText, name);

  RoundTrip(units, XML_FLAG_UTF16LE);
  RoundTrip(units, XML_FLAG_UTF16BE);
  return 0;
}
