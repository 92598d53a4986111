#include "store/ini_document.h"

namespace korvex {
namespace {

std::u16string_view TrimLeft(std::u16string_view s) {
  while (!s.empty() && IsIniBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::u16string_view TrimRight(std::u16string_view s) {
  while (!s.empty() && IsIniBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view Trim(std::u16string_view s) { return TrimRight(TrimLeft(s)); }

// Names are C strings to the profile routines: anything after a NUL is lost.
std::u16string_view CutAtNul(std::u16string_view s) { return s.substr(0, s.find(u'\0')); }

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// Adds one non-empty, trimmed line to the document.
void ParseLine(std::u16string_view line, std::vector<IniDocument::Section>& sections) {
  if (line.front() == u'[') {
    std::size_t close = line.rfind(u']');
    if (close != std::u16string_view::npos && close > 0) {
      sections.push_back({std::u16string(CutAtNul(Trim(line.substr(1, close - 1)))), {}});
      return;
    }
  }
  auto& keys = sections.back().keys;
  IniDocument::Key key;
  std::size_t eq = line.find(u'=');
  if (eq != std::u16string_view::npos) {
    key.name = CutAtNul(TrimRight(line.substr(0, eq)));
    key.value = std::u16string(CutAtNul(TrimLeft(line.substr(eq + 1))));
  } else {
    key.name = CutAtNul(line);
  }
  // A run of lines with empty names keeps only its first line.
  if (key.name.empty() && !keys.empty() && keys.back().name.empty()) return;
  keys.push_back(std::move(key));
}

}  // namespace

bool IsIniBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A; }

IniDocument::IniDocument() : sections_(1) {}

IniDocument IniDocument::Parse(std::u16string_view text) {
  IniDocument doc;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of(u"\r\n", pos);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = Trim(text.substr(pos, end - pos));
    if (!line.empty()) ParseLine(line, doc.sections_);
    pos = end + 1;
  }
  return doc;
}

IniDocument::Section* IniDocument::FindSection(std::u16string_view trimmedName) {
  for (auto& section : sections_)
    if (SameName(section.name, trimmedName)) return &section;
  return nullptr;
}

const std::u16string* IniDocument::Find(std::u16string_view section, std::u16string_view key) const {
  auto* found = const_cast<IniDocument*>(this)->FindSection(Trim(section));
  if (!found) return nullptr;
  std::u16string_view name = Trim(key);
  for (const auto& k : found->keys)
    if (SameName(k.name, name)) return k.value ? &*k.value : nullptr;
  return nullptr;
}

bool IniDocument::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  value = TrimLeft(value);
  // New names keep trailing blanks, as the platform's routines store them;
  // they are dropped again when the file is next read.
  Section* target = FindSection(Trim(section));
  if (!target) {
    sections_.push_back({std::u16string(TrimLeft(section)), {}});
    target = &sections_.back();
  }
  std::u16string_view name = Trim(key);
  for (auto& k : target->keys) {
    if (!SameName(k.name, name)) continue;
    if (k.value && *k.value == value) return false;
    k.value = std::u16string(value);
    return true;
  }
  target->keys.push_back({std::u16string(TrimLeft(key)), std::u16string(value)});
  return true;
}

std::u16string IniDocument::Serialize() const {
  std::u16string text;
  for (const auto& section : sections_) {
    if (!section.name.empty()) text.append(u"[").append(section.name).append(u"]\r\n");
    for (const auto& key : section.keys) {
      text += key.name;
      if (key.value) text.append(u"=").append(*key.value);
      text += u"\r\n";
    }
  }
  return text;
}

}  // namespace korvex
