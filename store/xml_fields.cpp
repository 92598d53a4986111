#include "store/xml_fields.h"

namespace korvex {

void StartStoreDocument(CXmlDocument& doc) {
  doc.SetText(u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n");
  doc.SetFlags(XML_FLAG_UTF16LE);
  doc.AddElement(u"root");
}

void OpenStoreDocumentForWriting(CXmlDocument& doc, const std::filesystem::path& path) {
  if (!doc.LoadFile(path)) StartStoreDocument(doc);
  doc.ResetPosition();
  doc.FindElement();
  doc.EnterElement();
}

}  // namespace korvex
