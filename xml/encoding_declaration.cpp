#include "xml/encoding_declaration.h"

#include <array>
#include <optional>
#include <type_traits>

namespace korvex::xml {
namespace {

template <typename Char>
class DeclarationScanner {
 public:
  using View = std::basic_string_view<Char>;
  explicit DeclarationScanner(View text) : text_(text) {}

  std::u16string Find() {
    if (StartsWith(0, "<?xml") && text_.size() > 5 && IsBlank(text_[5])) {
      std::size_t end = text_.find(View(QuestionClose().data(), 2));
      auto value = Attribute(text_.substr(5, end == View::npos ? View::npos : end - 5), "encoding",
                             /*ignoreCase=*/false);
      return value ? Widen(*value) : std::u16string();
    }
    return FromHtmlMeta();
  }

 private:
  static constexpr std::array<Char, 2> QuestionClose() { return {Char('?'), Char('>')}; }

  static bool IsBlank(Char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static Char Fold(Char c) { return c >= 'A' && c <= 'Z' ? Char(c + ('a' - 'A')) : c; }

  static bool Equals(View a, std::string_view b, bool ignoreCase) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      Char x = ignoreCase ? Fold(a[i]) : a[i];
      if (x != Char(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
  }

  bool StartsWith(std::size_t at, std::string_view s, bool ignoreCase = false) const {
    return at <= text_.size() && Equals(text_.substr(at, s.size()), s, ignoreCase);
  }

  static std::u16string Widen(View v) {
    std::u16string out;
    for (Char c : v) out.push_back(static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(c)));
    return out;
  }

  // The value of attribute `name` inside a tag's attribute text.
  static std::optional<View> Attribute(View tag, std::string_view name, bool ignoreCase) {
    std::size_t i = 0;
    const std::size_t n = tag.size();
    while (i < n) {
      while (i < n && (IsBlank(tag[i]) || tag[i] == '/')) ++i;
      std::size_t nameStart = i;
      while (i < n && !IsBlank(tag[i]) && tag[i] != '=' && tag[i] != '/' && tag[i] != '>') ++i;
      View attribute = tag.substr(nameStart, i - nameStart);
      if (attribute.empty()) {
        if (i < n) ++i;
        continue;
      }
      while (i < n && IsBlank(tag[i])) ++i;
      if (i >= n || tag[i] != '=') continue;
      ++i;
      while (i < n && IsBlank(tag[i])) ++i;
      std::size_t valueStart = i, valueEnd;
      if (i < n && (tag[i] == '"' || tag[i] == '\'')) {
        Char quote = tag[i];
        valueStart = ++i;
        while (i < n && tag[i] != quote) ++i;
        valueEnd = i;
        if (i < n) ++i;
      } else {
        while (i < n && !IsBlank(tag[i]) && tag[i] != '>') ++i;
        valueEnd = i;
      }
      if (Equals(attribute, name, ignoreCase)) return tag.substr(valueStart, valueEnd - valueStart);
    }
    return std::nullopt;
  }

  // A tag found by NextTag: its name and its attribute text.
  struct Tag {
    View name;
    View attributes;
    bool end = false;
  };

  // Moves to the next start or end tag, passing over text, comments,
  // declarations and processing instructions.
  std::optional<Tag> NextTag() {
    while ((pos_ = text_.find(Char('<'), pos_)) != View::npos) {
      if (StartsWith(pos_, "<!--")) {
        std::size_t close = FindAscii("-->", pos_ + 4);
        pos_ = close == View::npos ? text_.size() : close + 3;
        continue;
      }
      std::size_t close = text_.find(Char('>'), pos_);
      if (close == View::npos) return std::nullopt;
      Tag tag;
      std::size_t i = pos_ + 1;
      pos_ = close + 1;
      if (text_[i] == '!' || text_[i] == '?') continue;
      if (text_[i] == '/') {
        tag.end = true;
        ++i;
      }
      std::size_t nameStart = i;
      while (i < close && !IsBlank(text_[i]) && text_[i] != '/') ++i;
      tag.name = text_.substr(nameStart, i - nameStart);
      tag.attributes = text_.substr(i, close - i);
      return tag;
    }
    return std::nullopt;
  }

  std::size_t FindAscii(std::string_view s, std::size_t from) const {
    for (std::size_t at = text_.find(Char(s[0]), from); at != View::npos;
         at = text_.find(Char(s[0]), at + 1))
      if (StartsWith(at, s)) return at;
    return View::npos;
  }

  static std::optional<View> CharsetOfContent(View content) {
    for (std::size_t i = 0; i + 8 <= content.size(); ++i) {
      if (!Equals(content.substr(i, 8), "charset=", true)) continue;
      std::size_t start = i + 8, end = start;
      while (end < content.size() && !IsBlank(content[end]) && content[end] != ';' &&
             content[end] != '"' && content[end] != '\'')
        ++end;
      return content.substr(start, end - start);
    }
    return std::nullopt;
  }

  std::u16string FromHtmlMeta() {
    auto root = NextTag();
    if (!root || root->end || !Equals(root->name, "html", true)) return {};
    bool inHead = false;
    while (auto tag = NextTag()) {
      if (Equals(tag->name, "head", true)) {
        if (tag->end) break;
        inHead = true;
      } else if (Equals(tag->name, "body", true)) {
        break;
      } else if (inHead && !tag->end && Equals(tag->name, "meta", true)) {
        if (auto charset = Attribute(tag->attributes, "charset", true)) return Widen(*charset);
        auto equiv = Attribute(tag->attributes, "http-equiv", true);
        if (!equiv || !Equals(*equiv, "content-type", true)) continue;
        if (auto content = Attribute(tag->attributes, "content", true))
          if (auto charset = CharsetOfContent(*content)) return Widen(*charset);
      }
    }
    return {};
  }

  View text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::u16string DeclaredEncoding(std::string_view head) {
  return DeclarationScanner<char>(head).Find();
}

std::u16string DeclaredEncoding(std::u16string_view text) {
  return DeclarationScanner<char16_t>(text).Find();
}

}  // namespace korvex::xml
