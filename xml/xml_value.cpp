// The two free functions through which the system reads skin and string values
// and writes numbers.

#include <string>

#include "xml/xml_document.h"

std::u16string GetXmlValue(CXmlDocument& document, std::u16string_view section,
                           std::u16string_view key) {
  document.ResetPosition();
  if (!document.FindChildElement(section)) return {};
  // Sections of the same name may nest: when one holds no such key, look in
  // the section of that name inside it.
  do {
    document.EnterElement();
    if (document.FindChildElement(key)) return document.GetChildData();
  } while (document.FindChildElement(section));
  return {};
}

bool SetXmlInt(CXmlDocument& document, int value, std::u16string_view name) {
  auto digits = std::to_string(value);
  std::u16string text(digits.begin(), digits.end());
  if (document.FindElement(name)) return document.SetData(text);
  return document.AddElement(name, text);
}
