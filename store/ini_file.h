#pragma once
// Our own INI reader and writer, byte-compatible with the Windows profile-string
// routines on UTF-16LE files that start with the mark FF FE. An accessor object
// holds the full path of one file; every write rewrites the whole file through
// a temporary file, so a failed write leaves the old file intact.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

class CIniFile {
 public:
  explicit CIniFile(std::filesystem::path path);
  const std::filesystem::path& Path() const;

  // Creates the file holding only the mark FF FE when nothing exists at the
  // path; otherwise leaves it alone. False when the file could not be created.
  bool EnsureUnicodeFile() const;

  // The value of `key` in `section` (names match without regard to case), at
  // most 4095 characters; `defaultValue` when the file, section or key is absent.
  std::u16string ReadIniString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view defaultValue) const;
  // The value read as a number the way the platform's profile routines read
  // it: blanks and control characters skipped, an optional sign, "0x", "0o"
  // or "0b" for bases 16, 8 and 2, digits up to the first other character,
  // only the first 29 characters considered, wrapping to 32 bits ("12abc" is
  // 12, "abc" is 0). `defaultValue` when the key is absent or its value empty.
  int32_t ReadIniInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue) const;

  // Sets `key` in `section`, adding the section or key when missing. Always
  // leaves a UTF-16LE file with the mark. False when the file could not be written.
  bool WriteIniString(std::u16string_view section, std::u16string_view key, std::u16string_view value) const;
  // As WriteIniString with the value formatted "%d".
  bool WriteIniInt(std::u16string_view section, std::u16string_view key, int32_t value) const;

 private:
  std::filesystem::path path_;
};
