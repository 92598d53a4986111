// Parsing: one pass over the text that builds the element index, with an
// explicit stack of open elements. The parse is lenient: errors are noted (the
// first one's message is kept) and the index is built as far as possible.

#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

#include "xml/text_format.h"
#include "xml/xml_document.h"
#include "xml/xml_syntax.h"

using namespace korvex::xml;

namespace {

class Parser {
 public:
  Parser(std::u16string_view text, ElementIndex& index, bool ignoreCase)
      : begin_(text.data()), end_(text.data() + text.size()), index_(index), ignoreCase_(ignoreCase) {
    open_.reserve(6);
  }

  // Parses the whole text; returns the number of top-level elements.
  std::size_t Run();

  bool HasErrors() const { return hasErrors_; }
  const std::u16string& FirstError() const { return firstError_; }

 private:
  struct OpenElement {
    std::uint32_t element;
    std::uint32_t nameLength;
  };

  std::uint32_t Offset(const char16_t* p) const { return static_cast<std::uint32_t>(p - begin_); }

  const char16_t* FindChar(const char16_t* p, char16_t c) const;
  const char16_t* FindTerminator(const char16_t* p, std::u16string_view terminator) const;
  const char16_t* FindDeclarationEnd(const char16_t* p) const;
  const char16_t* FindStartTagEnd(const char16_t* p) const;

  // Each returns where scanning goes on, or nullptr to stop at an unterminated node.
  const char16_t* StartTag(const char16_t* lt);
  const char16_t* EndTag(const char16_t* lt);
  const char16_t* Bang(const char16_t* lt);

  std::uint32_t AddChild(std::uint32_t parent);
  void Push(std::uint32_t element, const char16_t* name, std::uint32_t nameLength);
  void PopTo(std::size_t size);
  std::uint64_t NameHash(const char16_t* name, std::uint32_t length) const;
  void StartCountingNames();
  void CloseNotEnded(std::size_t matched, std::uint32_t closedAt);
  void CloseAtEnd();
  void FixLevels();

  void Error(std::initializer_list<std::u16string_view> parts);
  void Unterminated(std::u16string_view kind, const char16_t* lt);
  void Incorrect(std::u16string_view what, const char16_t* lt);
  std::u16string_view NameOf(const OpenElement& open) const {
    return {begin_ + index_[open.element].start + 1, open.nameLength};
  }
  std::u16string Number(std::uint32_t offset) const {
    std::u16string s;
    AppendDecimal(s, offset);
    return s;
  }

  const char16_t* begin_;
  const char16_t* end_;
  ElementIndex& index_;
  bool ignoreCase_;
  std::vector<OpenElement> open_;
  bool hasErrors_ = false;
  bool moved_ = false;  // children of a not-ended element were moved up
  // After the first end tag without a start tag: how many open elements carry
  // each name hash, so that further stray end tags are refused without walking
  // the whole stack (which would make deep ill-formed input quadratic).
  bool countingNames_ = false;
  std::unordered_map<std::uint64_t, std::uint32_t> openNameCounts_;
  std::u16string firstError_;
};

void Parser::Error(std::initializer_list<std::u16string_view> parts) {
  if (!hasErrors_) {
    for (auto part : parts) firstError_ += part;
  }
  hasErrors_ = true;
}

void Parser::Unterminated(std::u16string_view kind, const char16_t* lt) {
  Error({kind, u" at offset ", Number(Offset(lt)), u" unterminated"});
}

void Parser::Incorrect(std::u16string_view what, const char16_t* lt) {
  Error({u"Incorrect ", what, u" at offset ", Number(Offset(lt))});
}

// Finds c from p on, four units at a time; end_ when absent.
const char16_t* Parser::FindChar(const char16_t* p, char16_t c) const {
  constexpr std::uint64_t kOnes = 0x0001000100010001ull, kHighs = 0x8000800080008000ull;
  const std::uint64_t pattern = kOnes * c;
  while (end_ - p >= 4) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    std::uint64_t x = word ^ pattern;
    if ((x - kOnes) & ~x & kHighs) break;  // some unit of the four equals c
    p += 4;
  }
  while (p < end_ && *p != c) ++p;
  return p;
}

const char16_t* Parser::FindTerminator(const char16_t* p, std::u16string_view terminator) const {
  while ((p = FindChar(p, terminator[0])) < end_) {
    if (static_cast<std::size_t>(end_ - p) < terminator.size()) return end_;
    if (std::u16string_view(p, terminator.size()) == terminator) return p;
    ++p;
  }
  return end_;
}

// The ">" closing a start tag, passing over quoted attribute values; end_ when
// the tag is not closed.
const char16_t* Parser::FindStartTagEnd(const char16_t* p) const {
  bool afterEquals = false;
  for (; p < end_; ++p) {
    char16_t c = *p;
    if (c == u'>') return p;
    if ((c == u'"' || c == u'\'') && afterEquals) {
      const char16_t* close = p + 1;
      while (close < end_ && *close != c) ++close;
      if (close == end_) return end_;
      p = close;
      afterEquals = false;
    } else if (c == u'=') {
      afterEquals = true;
    } else if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') {
      afterEquals = false;
    }
  }
  return end_;
}

// The ">" closing a document type declaration, passing over its internal
// subset in brackets.
const char16_t* Parser::FindDeclarationEnd(const char16_t* p) const {
  int depth = 0;
  for (; p < end_; ++p) {
    if (*p == u'[') {
      ++depth;
    } else if (*p == u']') {
      if (depth > 0) --depth;
    } else if (*p == u'>' && depth == 0) {
      return p;
    }
  }
  return end_;
}

std::uint32_t Parser::AddChild(std::uint32_t parent) {
  std::uint32_t e = index_.Add();
  ElementRecord& par = index_[parent];
  ElementRecord& rec = index_[e];
  rec.parent = parent;
  rec.level = par.level + 1;
  if (par.firstChild == 0) {
    par.firstChild = e;
    rec.prevSibling = e;
    rec.flags = kFirstChild;
  } else {
    ElementRecord& first = index_[par.firstChild];
    std::uint32_t last = first.prevSibling;
    index_[last].nextSibling = e;
    rec.prevSibling = last;
    first.prevSibling = e;
  }
  return e;
}

void Parser::Push(std::uint32_t element, const char16_t* name, std::uint32_t nameLength) {
  if (open_.size() == open_.capacity()) open_.reserve(open_.capacity() * 2 + 6);
  open_.push_back({element, nameLength});
  if (countingNames_) ++openNameCounts_[NameHash(name, nameLength)];
}

void Parser::PopTo(std::size_t size) {
  if (countingNames_) {
    for (std::size_t i = size; i < open_.size(); ++i)
      --openNameCounts_[NameHash(begin_ + index_[open_[i].element].start + 1, open_[i].nameLength)];
  }
  open_.resize(size);
}

// FNV-1a over the name, with ASCII letters folded when names fold.
std::uint64_t Parser::NameHash(const char16_t* name, std::uint32_t length) const {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (std::uint32_t i = 0; i < length; ++i) {
    hash ^= ignoreCase_ ? FoldAscii(name[i]) : name[i];
    hash *= 0x100000001B3ull;
  }
  return hash;
}

void Parser::StartCountingNames() {
  countingNames_ = true;
  for (const OpenElement& open : open_)
    ++openNameCounts_[NameHash(begin_ + index_[open.element].start + 1, open.nameLength)];
}

const char16_t* Parser::StartTag(const char16_t* lt) {
  const char16_t* name = lt + 1;
  const char16_t* nameEnd = name;
  while (nameEnd < end_ && !EndsName(*nameEnd)) ++nameEnd;
  const char16_t* gt = FindStartTagEnd(nameEnd);
  if (gt == end_) {
    Unterminated(u"Element tag", lt);
    return nullptr;
  }
  std::uint32_t parent = open_.empty() ? 0 : open_.back().element;
  std::uint32_t e = AddChild(parent);
  ElementRecord& rec = index_[e];
  rec.start = Offset(lt);
  rec.startTagLength = static_cast<std::uint32_t>(gt + 1 - lt);
  if (gt[-1] == u'/' && gt - 1 >= nameEnd) {
    rec.length = rec.startTagLength;  // empty-element tag
  } else {
    Push(e, name, static_cast<std::uint32_t>(nameEnd - name));
  }
  return gt + 1;
}

const char16_t* Parser::EndTag(const char16_t* lt) {
  const char16_t* name = lt + 2;
  const char16_t* nameEnd = name;
  while (nameEnd < end_ && !EndsName(*nameEnd)) ++nameEnd;
  const char16_t* gt = FindChar(nameEnd, u'>');
  if (gt == end_) {
    Unterminated(u"Element end tag", lt);
    return nullptr;
  }
  auto nameLength = static_cast<std::uint32_t>(nameEnd - name);
  std::size_t matched = open_.size();
  if (countingNames_) {
    auto count = openNameCounts_.find(NameHash(name, nameLength));
    if (count == openNameCounts_.end() || count->second == 0) matched = 0;
  }
  while (matched > 0) {
    const OpenElement& candidate = open_[matched - 1];
    if (candidate.nameLength == nameLength &&
        SameName(begin_ + index_[candidate.element].start + 1, name, nameLength, ignoreCase_))
      break;
    --matched;
  }
  std::u16string_view endName(name, nameLength);
  if (matched == 0) {
    Error({u"No start tag for end tag '", endName, u"' at offset ", Number(Offset(lt))});
    if (!countingNames_) StartCountingNames();
    return gt + 1;
  }
  --matched;
  if (matched + 1 < open_.size()) {
    const OpenElement& inner = open_.back();
    Error({u"End tag '", endName, u"' at offset ", Number(Offset(lt + 1)),
           u" does not match start tag '", NameOf(inner), u"' at offset ",
           Number(index_[inner.element].start)});
    CloseNotEnded(matched, Offset(lt));
  }
  ElementRecord& rec = index_[open_[matched].element];
  rec.length = Offset(gt + 1) - rec.start;
  rec.endTagLength = static_cast<std::uint32_t>(gt + 1 - lt);
  PopTo(matched);
  return gt + 1;
}

// Closes the open elements inside open_[matched] that have no end tag of their
// own, outermost first. Each is marked not ended and its child elements move
// up to follow it as siblings, so each moves once, straight into the element
// being closed. It then spans to the start of its first child, or, without
// children, to where it was closed.
void Parser::CloseNotEnded(std::size_t matched, std::uint32_t closedAt) {
  std::uint32_t target = open_[matched].element;
  for (std::size_t j = matched + 1; j < open_.size(); ++j) {
    std::uint32_t e = open_[j].element;
    ElementRecord& rec = index_[e];
    rec.flags |= kNotEnded | kIllFormed;
    rec.endTagLength = 0;
    std::uint32_t first = rec.firstChild;
    if (first == 0) {
      rec.length = closedAt - rec.start;
      continue;
    }
    moved_ = true;
    rec.length = index_[first].start - rec.start;
    rec.firstChild = 0;
    // e is the last child of target: its children now follow it.
    std::uint32_t last = index_[first].prevSibling;
    for (std::uint32_t c = first; c != 0; c = index_[c].nextSibling) index_[c].parent = target;
    index_[first].flags &= ~kFirstChild;
    index_[first].prevSibling = e;
    rec.nextSibling = first;
    index_[index_[target].firstChild].prevSibling = last;
  }
}

// Elements still open at the end of the text are not ended; they keep their
// children and span to the end of the text.
void Parser::CloseAtEnd() {
  if (open_.empty()) return;
  const OpenElement& innermost = open_.back();
  Error({u"Element '", NameOf(innermost), u"' at offset ", Number(index_[innermost.element].start),
         u" not ended"});
  for (const OpenElement& open : open_) {
    ElementRecord& rec = index_[open.element];
    rec.flags |= kNotEnded | kIllFormed;
    rec.length = Offset(end_) - rec.start;
    rec.endTagLength = 0;
  }
  open_.clear();
}

// Levels after children moved up: a parent always precedes its children in the
// index, so one forward pass suffices.
void Parser::FixLevels() {
  for (std::uint32_t i = 1; i < index_.Count(); ++i) index_[i].level = index_[index_[i].parent].level + 1;
}

const char16_t* Parser::Bang(const char16_t* lt) {
  const char16_t* p = lt + 2;
  if (p == end_) {
    Unterminated(u"tag", lt);
    return nullptr;
  }
  switch (*p) {
    case u'-': {
      if (p + 1 == end_) {
        Unterminated(u"tag", lt);
        return nullptr;
      }
      if (p[1] != u'-') {
        Incorrect(u"comment tag", lt);
        return lt + 1;
      }
      const char16_t* close = FindTerminator(p + 2, u"-->");
      if (close == end_) {
        Unterminated(u"Comment", lt);
        return nullptr;
      }
      return close + 3;
    }
    case u'[': {
      if (p + 1 == end_) {
        Unterminated(u"tag", lt);
        return nullptr;
      }
      if (p[1] != u'C') {
        Incorrect(u"tag", lt);
        return lt + 1;
      }
      const char16_t* close = FindTerminator(p + 2, u"]]>");
      if (close == end_) {
        Unterminated(u"CDATA Section", lt);
        return nullptr;
      }
      return close + 3;
    }
    case u'D':
    case u'E':
    case u'A':
    case u'N': {
      const char16_t* close = FindDeclarationEnd(p);
      if (close == end_) {
        Unterminated(u"Doctype", lt);
        return nullptr;
      }
      return close + 1;
    }
    default:
      Incorrect(u"! tag", lt);
      return lt + 1;
  }
}

std::size_t Parser::Run() {
  const char16_t* p = begin_;
  while (p) {
    const char16_t* lt = FindChar(p, u'<');
    if (lt == end_) break;
    if (lt + 1 == end_) {
      Unterminated(u"tag", lt);
      break;
    }
    char16_t c = lt[1];
    if (c == u'/') {
      p = EndTag(lt);
    } else if (c == u'!') {
      p = Bang(lt);
    } else if (c == u'?') {
      const char16_t* close = FindTerminator(lt + 2, u"?>");
      if (close == end_) {
        Unterminated(u"Processing instruction", lt);
        break;
      }
      p = close + 2;
    } else if (StartsName(c)) {
      p = StartTag(lt);
    } else {
      Incorrect(u"tag name character", lt);
      p = lt + 1;
    }
  }
  CloseAtEnd();
  if (moved_) FixLevels();

  std::size_t topLevel = 0;
  for (std::uint32_t e = index_[0].firstChild; e != 0; e = index_[e].nextSibling) ++topLevel;
  if (topLevel == 0)
    Error({u"No root element"});
  else if (topLevel > 1)
    Error({u"Root element has sibling"});
  return topLevel;
}

}  // namespace

bool CXmlDocument::Parse() {
  parent_ = main_ = child_ = 0;
  if (text_.size() >= std::numeric_limits<std::uint32_t>::max() / 2) {
    index_.Clear();
    result_ += u"Document too large";
    return false;
  }
  index_.Reset(text_.size() / 64 + 8);
  std::uint32_t doc = index_.Add();
  index_[doc].length = static_cast<std::uint32_t>(text_.size());
  if (text_.empty()) {
    index_[doc].flags |= kDocumentHasErrors;
    result_ += u"Empty document";
    return false;
  }
  Parser parser(text_, index_, (flags_ & XML_FLAG_IGNORE_CASE) != 0);
  std::size_t topLevel = parser.Run();
  if (parser.HasErrors()) {
    index_[0].flags |= kDocumentHasErrors;
    result_ += parser.FirstError();
  }
  return !parser.HasErrors() && topLevel == 1;
}

bool CXmlDocument::SetText(std::u16string_view text) {
  text_.assign(text);
  result_.clear();
  return Parse();
}
