// The cursor of CXmlDocument: parent, main and child positions, moved by the
// find, enter and leave operations. Names are compared in place in the text.

#include "xml/xml_document.h"
#include "xml/xml_syntax.h"

using namespace korvex::xml;

void CXmlDocument::ResetPosition() { parent_ = main_ = child_ = 0; }

bool CXmlDocument::HasErrors() const {
  return index_.Count() > 0 && (index_[0].flags & kDocumentHasErrors) != 0;
}

std::u16string_view CXmlDocument::TagName(std::uint32_t element) const {
  if (element == 0 || element >= index_.Count()) return {};
  const char16_t* name = text_.data() + index_[element].start + 1;
  const char16_t* end = text_.data() + text_.size();
  const char16_t* nameEnd = name;
  while (nameEnd < end && !EndsName(*nameEnd)) ++nameEnd;
  return {name, static_cast<std::size_t>(nameEnd - name)};
}

std::u16string CXmlDocument::GetTagName() const { return std::u16string(TagName(main_)); }
std::u16string CXmlDocument::GetChildTagName() const { return std::u16string(TagName(child_)); }

// A name matches a tag when it equals the tag's name, or is longer and goes on
// after the tag's name with one of: blank = / [ ]
bool CXmlDocument::NameMatches(std::uint32_t element, std::u16string_view name) const {
  if (name.empty()) return true;
  std::u16string_view tag = TagName(element);
  if (name.size() < tag.size()) return false;
  if (name.size() > tag.size()) {
    char16_t next = name[tag.size()];
    if (next != u' ' && next != u'=' && next != u'/' && next != u'[' && next != u']') return false;
  }
  return SameName(tag.data(), name.data(), tag.size(), (flags_ & XML_FLAG_IGNORE_CASE) != 0);
}

// The first element from `first` on along the sibling links that matches.
std::uint32_t CXmlDocument::FindSibling(std::uint32_t first, std::u16string_view name) const {
  for (std::uint32_t e = first; e != 0; e = index_[e].nextSibling)
    if (NameMatches(e, name)) return e;
  return 0;
}

bool CXmlDocument::FindElement(std::u16string_view name) {
  if (index_.Count() == 0) return false;
  std::uint32_t from = main_ ? index_[main_].nextSibling : index_[parent_].firstChild;
  std::uint32_t found = FindSibling(from, name);
  if (found == 0) return false;
  main_ = found;
  child_ = 0;
  return true;
}

bool CXmlDocument::FindChildElement(std::u16string_view name) {
  if (main_ == 0 && !FindElement()) return false;
  std::uint32_t from = child_ ? index_[child_].nextSibling : index_[main_].firstChild;
  std::uint32_t found = FindSibling(from, name);
  if (found == 0) return false;
  child_ = found;
  return true;
}

bool CXmlDocument::EnterElement() {
  if (main_ == 0) return false;
  parent_ = main_;
  main_ = child_;
  child_ = 0;
  return true;
}

bool CXmlDocument::LeaveElement() {
  if (parent_ == 0) return false;
  child_ = main_;
  main_ = parent_;
  parent_ = index_[parent_].parent;
  return true;
}
