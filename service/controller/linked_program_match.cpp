#include "service/controller/linked_program_match.h"

#include "store/fixed_text.h"

namespace {

// Simple upper-to-lower case mapping of the scripts program names use.
char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);  // Latin-1
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 0x20);  // Greek
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);               // Cyrillic Ѐ..Џ
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);               // Cyrillic А..Я
  return c;
}

}  // namespace

std::u16string_view ProgramFileName(std::u16string_view entry) {
  const size_t cut = entry.find_last_of(u"\\/:");
  return cut == std::u16string_view::npos ? entry : entry.substr(cut + 1);
}

bool SameProgramName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::optional<int> FindLinkedPosition(const tagLINK_PROGRAMS (&links)[PROFILE_COUNT], std::u16string_view imageName) {
  for (int position = 0; position < PROFILE_COUNT; ++position) {
    for (const auto& program : links[position].programs) {
      const std::u16string_view name = ProgramFileName(FixedTextView(program));
      if (!name.empty() && SameProgramName(name, imageName)) return position;
    }
  }
  return std::nullopt;
}
