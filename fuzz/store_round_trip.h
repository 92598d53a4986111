#pragma once
// What a rewrite of a store file may change: nothing, when the file's encoding
// can hold every character it read (UTF-8, UTF-16 and the ANSI code page,
// which maps every byte); characters a declared legacy encoding cannot hold
// become '?' once, and after that a rewrite changes nothing.
#include <filesystem>
#include <string>

#include "xml/xml_document.h"

inline bool RewriteIsLossless(const std::filesystem::path& file) {
  std::u16string text, result;
  unsigned flags = 0;
  if (!CXmlDocument::ReadTextFile(file, text, &result, &flags)) return false;
  return result.rfind(u"UTF-", 0) == 0 || result.rfind(u"ANSI", 0) == 0;
}
