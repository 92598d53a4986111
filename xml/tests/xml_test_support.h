#pragma once
// Helpers shared by the XML tests.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "xml/xml_document.h"

namespace korvex::xml::testing {

// UTF-16 text shown readably in failure messages (non-ASCII as \uXXXX).
inline std::string Printable(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

}  // namespace korvex::xml::testing
