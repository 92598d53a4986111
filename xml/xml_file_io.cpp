// CXmlDocument's file operations: reading and writing whole text files, and
// loading and saving a document.

#include "xml/atomic_file.h"
#include "xml/file_bytes.h"
#include "xml/xml_document.h"

using namespace korvex::xml;

bool CXmlDocument::ReadTextFile(const std::filesystem::path& path, std::u16string& text,
                                std::u16string* result, unsigned* flags) {
  text.clear();
  std::string bytes;
  std::u16string error;
  if (!ReadFileBytes(path, bytes, &error)) {
    if (result) *result = error;
    return false;
  }
  return DecodeTextBytes(bytes, text, result, flags);
}

bool CXmlDocument::WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                                 std::u16string* result, unsigned* flags) {
  unsigned localFlags = flags ? *flags : 0;
  bool append = (localFlags & XML_FLAG_APPEND) != 0;
  bool fileEmpty = !append || IsMissingOrEmpty(path);
  std::string bytes;
  std::u16string summary;
  bool ok = EncodeTextBytes(text, fileEmpty, bytes, &summary, &localFlags);
  std::u16string error;
  if (ok) {
    ok = append ? AppendFileBytes(path, bytes, &error)
                : korvex::ReplaceFileContents(path, bytes, &error);
    if (!ok) summary = error;
  }
  if (result) *result = summary;
  if (flags) *flags = localFlags;
  return ok;
}

bool CXmlDocument::LoadFile(const std::filesystem::path& path) {
  bool read = ReadTextFile(path, text_, &result_, &flags_);
  // The parse message follows the read's result, which ends with a blank.
  if (!result_.empty() && result_.back() != u' ') result_ += u' ';
  bool parsed = Parse();
  return read && parsed;
}

bool CXmlDocument::SaveFile(const std::filesystem::path& path) {
  return WriteTextFile(path, text_, &result_, &flags_);
}
