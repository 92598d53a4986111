// Element text: reading it (references decoded, markup left out), replacing
// it, and adding elements. Edits change the text in place and shift the later
// elements of the index instead of parsing again.

#include "xml/char_references.h"
#include "xml/xml_document.h"
#include "xml/xml_syntax.h"

using namespace korvex::xml;

namespace {

// Content of an element without child elements that holds markup: text parts
// decoded and CDATA sections copied, comments, processing instructions and
// stray tags left out. A "<" that starts no markup is text.
std::u16string JoinTextParts(std::u16string_view content) {
  std::u16string out;
  std::size_t i = 0;
  auto skipPast = [&](std::size_t from, std::u16string_view terminator) {
    std::size_t at = content.find(terminator, from);
    return at == std::u16string_view::npos ? content.size() : at + terminator.size();
  };
  while (i < content.size()) {
    std::size_t lt = content.find(u'<', i);
    std::size_t textEnd = lt == std::u16string_view::npos ? content.size() : lt;
    AppendDecodedText(content.substr(i, textEnd - i), out);
    if (lt == std::u16string_view::npos) break;
    std::u16string_view rest = content.substr(lt);
    if (rest.starts_with(u"<![CDATA[")) {
      std::size_t close = content.find(u"]]>", lt + 9);
      std::size_t dataEnd = close == std::u16string_view::npos ? content.size() : close;
      out.append(content.substr(lt + 9, dataEnd - lt - 9));
      i = close == std::u16string_view::npos ? content.size() : close + 3;
    } else if (rest.starts_with(u"<!--")) {
      i = skipPast(lt + 4, u"-->");
    } else if (rest.starts_with(u"<?")) {
      i = skipPast(lt + 2, u"?>");
    } else if (rest.size() > 1 && (rest[1] == u'/' || rest[1] == u'!' || StartsName(rest[1]))) {
      i = skipPast(lt + 1, u">");
    } else {
      out.push_back(u'<');
      i = lt + 1;
    }
  }
  return out;
}

}  // namespace

std::u16string CXmlDocument::ElementData(std::uint32_t element) const {
  if (element == 0 || element >= index_.Count()) return {};
  const ElementRecord& rec = index_[element];
  if (rec.firstChild != 0) return {};
  std::uint32_t contentStart = rec.start + rec.startTagLength;
  std::uint32_t contentEnd = rec.End() - rec.endTagLength;
  if (contentEnd <= contentStart) return {};
  std::u16string_view content(text_.data() + contentStart, contentEnd - contentStart);
  if (content.find(u'<') != std::u16string_view::npos) return JoinTextParts(content);
  std::u16string out;
  AppendDecodedText(content, out);
  return out;
}

std::u16string CXmlDocument::GetData() const { return ElementData(main_); }
std::u16string CXmlDocument::GetChildData() const { return ElementData(child_); }

void CXmlDocument::ShiftElementsFrom(std::size_t offset, std::int64_t delta) {
  for (std::uint32_t i = 1; i < index_.Count(); ++i) {
    ElementRecord& rec = index_[i];
    if (rec.start >= offset) rec.start = static_cast<std::uint32_t>(rec.start + delta);
  }
}

// Replaces `count` units at `offset`; elements starting after the replaced
// range move with the text that follows it.
void CXmlDocument::ReplaceText(std::size_t offset, std::size_t count,
                               std::u16string_view replacement) {
  text_.replace(offset, count, replacement);
  auto delta = static_cast<std::int64_t>(replacement.size()) - static_cast<std::int64_t>(count);
  if (delta != 0) ShiftElementsFrom(offset + count, delta);
}

// The element and every element around it, up to the document record.
void CXmlDocument::GrowAncestors(std::uint32_t element, std::int64_t delta) {
  for (std::uint32_t e = element;; e = index_[e].parent) {
    index_[e].length = static_cast<std::uint32_t>(index_[e].length + delta);
    if (e == 0) break;
  }
}

// Turns an empty-element tag "<x .../>" into "<x ...>", content, "</x>". Every
// "/" right before the ">" goes, or the start tag would still read as empty.
void CXmlDocument::ExpandEmptyElement(std::uint32_t element, std::u16string_view content) {
  std::u16string replacement(u">");
  replacement += content;
  replacement += u"</";
  replacement += TagName(element);
  replacement += u'>';
  ElementRecord& rec = index_[element];
  std::uint32_t gt = rec.start + rec.startTagLength - 1;
  std::uint32_t slashes = 0;
  while (slashes + 2 < rec.startTagLength && text_[gt - slashes - 1] == u'/') ++slashes;
  auto delta = static_cast<std::int64_t>(replacement.size()) - (slashes + 1);
  auto endTagLength = static_cast<std::uint32_t>(TagName(element).size() + 3);
  ReplaceText(gt - slashes, slashes + 1, replacement);
  rec.startTagLength -= slashes;
  rec.endTagLength = endTagLength;
  GrowAncestors(element, delta);
}

namespace {

bool IsEmptyElementTag(const ElementRecord& rec) {
  return rec.endTagLength == 0 && (rec.flags & kNotEnded) == 0;
}

}  // namespace

bool CXmlDocument::SetData(std::u16string_view value) {
  if (main_ == 0) return false;
  ElementRecord& rec = index_[main_];
  if (rec.firstChild != 0) return false;
  std::u16string escaped;
  AppendEscapedText(value, escaped);
  if (IsEmptyElementTag(rec)) {
    ExpandEmptyElement(main_, escaped);
    return true;
  }
  std::uint32_t contentStart = rec.start + rec.startTagLength;
  std::uint32_t contentEnd = rec.End() - rec.endTagLength;
  auto delta = static_cast<std::int64_t>(escaped.size()) -
               static_cast<std::int64_t>(contentEnd - contentStart);
  ReplaceText(contentStart, contentEnd - contentStart, escaped);
  GrowAncestors(main_, delta);
  return true;
}

namespace {

bool IsValidTagName(std::u16string_view name) {
  if (name.empty() || !StartsName(name[0])) return false;
  for (char16_t c : name)
    if (EndsName(c)) return false;
  return true;
}

}  // namespace

bool CXmlDocument::AddElement(std::u16string_view name, std::u16string_view value) {
  // A name that could not be read back as one tag would corrupt the document.
  if (!IsValidTagName(name)) return false;
  if (index_.Count() == 0) {
    // Never parsed: the text is empty; start an index for it.
    index_.Reset(8);
    index_.Add();
  }

  std::u16string element(u"<");
  element += name;
  std::uint32_t startTagLength, endTagLength = 0;
  if (value.empty()) {
    element += u"/>";
    startTagLength = static_cast<std::uint32_t>(element.size());
  } else {
    element += u'>';
    startTagLength = static_cast<std::uint32_t>(element.size());
    AppendEscapedText(value, element);
    element += u"</";
    element += name;
    element += u'>';
    endTagLength = static_cast<std::uint32_t>(name.size() + 3);
  }
  auto elementLength = static_cast<std::uint32_t>(element.size());
  element += u"\r\n";

  // Insert after the main element, or after the parent's last child, passing
  // the line break that follows it; otherwise as the parent's first child, at
  // the end of its content.
  std::uint32_t parent = main_ ? index_[main_].parent : parent_;
  std::uint32_t before = main_;
  if (before == 0 && index_[parent].firstChild != 0)
    before = index_[index_[parent].firstChild].prevSibling;
  std::size_t at;
  if (before != 0) {
    at = index_[before].End();
    if (text_.compare(at, 2, u"\r\n") == 0)
      at += 2;
    else if (at < text_.size() && text_[at] == u'\n')
      at += 1;
  } else if (parent == 0) {
    at = text_.size();
  } else {
    if (IsEmptyElementTag(index_[parent])) ExpandEmptyElement(parent, u"\r\n");
    const ElementRecord& p = index_[parent];
    at = p.End() - p.endTagLength;
  }
  ReplaceText(at, 0, element);
  GrowAncestors(parent, static_cast<std::int64_t>(element.size()));

  std::uint32_t e = index_.Add();
  ElementRecord& rec = index_[e];
  rec.start = static_cast<std::uint32_t>(at);
  rec.length = elementLength;
  rec.startTagLength = startTagLength;
  rec.endTagLength = endTagLength;
  rec.parent = parent;
  rec.level = index_[parent].level + 1;
  ElementRecord& p = index_[parent];
  if (before == 0) {
    p.firstChild = e;
    rec.prevSibling = e;
    rec.flags = kFirstChild;
  } else {
    ElementRecord& prev = index_[before];
    std::uint32_t next = prev.nextSibling;
    rec.prevSibling = before;
    rec.nextSibling = next;
    prev.nextSibling = e;
    if (next != 0)
      index_[next].prevSibling = e;
    else
      index_[p.firstChild].prevSibling = e;  // e is the new last child
  }
  main_ = e;
  child_ = 0;
  return true;
}
