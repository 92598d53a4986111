#pragma once
// An INI file's text as the Windows profile-string routines see it: an ordered
// list of sections, each an ordered list of keys, with the rules those routines
// apply when they read a file and when they rewrite it after a change.
//
// Reading: lines end at CR or LF; blank characters (space, tab, CR, LF, VT,
// FF, Ctrl-Z) around lines, names and values are dropped; empty lines vanish.
// "[name]" starts a section (the last ']' closes the name, text after it is
// ignored); any other line is a key, split at its first '=' (a line without
// '=' is a key with no value, which keeps comments in place). Lines before the
// first header belong to an unnamed leading section. Names match without
// regard to ASCII case; with duplicates, the first section and key win.
//
// Writing: a changed value rewrites everything as "[name]", "key=value" and
// "key" lines ending in CRLF; unnamed sections get no header. A new key goes
// after the last key of the first matching section, a new section at the end.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

class IniDocument {
 public:
  struct Key {
    std::u16string name;
    std::optional<std::u16string> value;  // nullopt for a line without '='
  };
  struct Section {
    std::u16string name;
    std::vector<Key> keys;
  };

  // An empty document: only the unnamed leading section, without keys.
  IniDocument();
  static IniDocument Parse(std::u16string_view text);

  // The value of `key` in the first section named `section`; null when the
  // section or key is absent or the key has no value. Blanks around the
  // requested names are ignored.
  const std::u16string* Find(std::u16string_view section, std::u16string_view key) const;

  // Sets `key` in the first section named `section` to `value` without its
  // leading blanks, adding the key or section when missing. Returns false when
  // the key already held that value (nothing changed).
  bool Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // The document as file text, every line ending in CRLF.
  std::u16string Serialize() const;

  const std::vector<Section>& Sections() const { return sections_; }

 private:
  Section* FindSection(std::u16string_view trimmedName);

  std::vector<Section> sections_;  // sections_[0] is the unnamed leading section
};

// True for the characters the profile routines treat as blanks.
bool IsIniBlank(char16_t c);

}  // namespace korvex
