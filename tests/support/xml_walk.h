#pragma once
// Every element of a document in document order, as "tag=text;" with "{" and
// "}" around an element's children. Two documents that read alike give the
// same string, so an edited document can be compared with its text parsed
// afresh.

#include <string>

#include "xml/xml_document.h"

namespace korvex::testing {

inline std::u16string WalkElements(CXmlDocument& doc) {
  std::u16string out;
  doc.ResetPosition();
  int depth = 0;
  for (;;) {
    if (doc.FindElement()) {
      out += doc.GetTagName() + u"=" + doc.GetData() + u";";
      if (doc.FindChildElement()) {
        doc.EnterElement();
        ++depth;
        out += u"{" + doc.GetTagName() + u"=" + doc.GetData() + u";";
      }
      continue;
    }
    if (depth == 0 || !doc.LeaveElement()) break;
    --depth;
    out += u"}";
  }
  return out;
}

}  // namespace korvex::testing
