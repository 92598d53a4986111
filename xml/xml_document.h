#pragma once
// CXmlDocument: a whole XML document held as one UTF-16 string plus an index
// of its elements, navigated with a cursor of three positions (parent, main,
// child). There are no node objects: a value is read by finding an element and
// getting its text, and written by setting an element's text or adding an
// element at the cursor. Files are read and written as UTF-16LE/BE, UTF-8 (with
// or without mark), a declared code page or the system ANSI code page.
//
// Nothing here throws to the caller; operations return success flags and the
// result text (GetResult) says what happened during the last read, parse or
// write. An instance is used by one thread at a time.

#include <filesystem>
#include <string>
#include <string_view>

#include "xml/element_index.h"

enum : unsigned {
  XML_FLAG_UTF16LE = 0x01,      // file is UTF-16 little endian with mark FF FE
  XML_FLAG_UTF8_BOM = 0x04,     // file is UTF-8 with mark EF BB BF
  XML_FLAG_IGNORE_CASE = 0x08,  // tag names compared with ASCII letters folded
  XML_FLAG_READING = 0x10,      // set for the duration of a read
  XML_FLAG_WRITING = 0x20,      // set for the duration of a write
  XML_FLAG_APPEND = 0x40,       // a write appends to an existing file
  XML_FLAG_UTF16BE = 0x80,      // file is UTF-16 big endian with mark FE FF
};

class CXmlDocument {
 public:
  // Reads a file into UTF-16 text, choosing the encoding from its mark, its
  // declaration or its bytes. `flags` (in/out) receives the mark's flag.
  static bool ReadTextFile(const std::filesystem::path& path, std::u16string& text,
                           std::u16string* result = nullptr, unsigned* flags = nullptr);
  // Writes UTF-16 text in the encoding the flags or the text's declaration
  // choose. Without XML_FLAG_APPEND the file is replaced atomically, so a failed
  // write leaves the previous file intact.
  static bool WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                            std::u16string* result = nullptr, unsigned* flags = nullptr);
  // The in-memory halves of ReadTextFile and WriteTextFile: decode the bytes of
  // a whole file, or encode text into the bytes of a file that is empty
  // (`fileEmpty`, a mark is written first) or already holds data (appending).
  static bool DecodeTextBytes(std::string_view bytes, std::u16string& text,
                              std::u16string* result = nullptr, unsigned* flags = nullptr);
  static bool EncodeTextBytes(std::u16string_view text, bool fileEmpty, std::string& bytes,
                              std::u16string* result = nullptr, unsigned* flags = nullptr);

  bool LoadFile(const std::filesystem::path& path);
  bool SaveFile(const std::filesystem::path& path);
  bool SetText(std::u16string_view text);
  const std::u16string& GetText() const { return text_; }
  const std::u16string& GetResult() const { return result_; }
  unsigned GetFlags() const { return flags_; }
  void SetFlags(unsigned flags) { flags_ = flags; }

  void ResetPosition();
  bool FindElement(std::u16string_view name = {});
  bool FindChildElement(std::u16string_view name = {});
  bool EnterElement();
  bool LeaveElement();
  std::u16string GetData() const;
  std::u16string GetChildData() const;
  bool SetData(std::u16string_view value);
  bool AddElement(std::u16string_view name, std::u16string_view value = {});

  // Tag names of the main and child elements (empty when there is none).
  std::u16string GetTagName() const;
  std::u16string GetChildTagName() const;
  // Records in use in the element index, the document record included
  // (0 before the first parse).
  int GetElementCount() const { return static_cast<int>(index_.Count()); }
  // True when the last parse found an error (the result then says which).
  bool HasErrors() const;

 private:
  bool Parse();
  std::u16string_view TagName(std::uint32_t element) const;
  bool NameMatches(std::uint32_t element, std::u16string_view name) const;
  std::uint32_t FindSibling(std::uint32_t first, std::u16string_view name) const;
  std::u16string ElementData(std::uint32_t element) const;
  void ReplaceText(std::size_t offset, std::size_t count, std::u16string_view replacement);
  void ShiftElementsFrom(std::size_t offset, std::int64_t delta);
  void GrowAncestors(std::uint32_t element, std::int64_t delta);
  void ExpandEmptyElement(std::uint32_t element, std::u16string_view content);

  std::u16string text_;
  std::u16string result_;
  unsigned flags_ = 0;
  std::uint32_t parent_ = 0;  // 0 = document level
  std::uint32_t main_ = 0;    // 0 = none
  std::uint32_t child_ = 0;   // 0 = none
  korvex::xml::ElementIndex index_;
};

// Resets the position, finds the section below the root and returns the text
// of its first child named `key`; sections nested inside a section of the same
// name are searched when the outer one holds no such key. Empty when not found.
std::u16string GetXmlValue(CXmlDocument& document, std::u16string_view section,
                           std::u16string_view key);

// At the current level: sets the text of the next element named `name` to the
// decimal value, or adds such an element when there is none.
bool SetXmlInt(CXmlDocument& document, int value, std::u16string_view name);
