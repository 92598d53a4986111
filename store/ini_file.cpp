#include "store/ini_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "store/file_text.h"
#include "store/ini_document.h"
#include "store/number_text.h"
#include "xml/atomic_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korvex {
namespace {

// Read buffers of the callers of the platform's routines, terminator included.
constexpr std::size_t kStringCapacity = 4096;
constexpr std::size_t kIntCapacity = 30;

// Names and values reach the platform's routines as C strings.
std::u16string_view CString(std::u16string_view s) { return s.substr(0, s.find(u'\0')); }

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

IniDocument LoadForReading(const std::filesystem::path& path) {
  auto bytes = ReadWholeFile(path);
  return bytes ? IniDocument::Parse(DecodeFileText(*bytes)) : IniDocument();
}

// A value as the caller's buffer of `capacity` characters receives it: one
// pair of matching quotes around it is removed, then it is cut to fit.
std::u16string CopyEntry(std::u16string_view value, std::size_t capacity) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::u16string(value.substr(0, capacity - 1));
}

// The value, or the default without its trailing spaces (one space is kept
// when the default is nothing but spaces), both as CopyEntry gives them.
std::u16string ProfileString(const std::filesystem::path& path, std::u16string_view section, std::u16string_view key,
                             std::u16string_view defaultValue, std::size_t capacity) {
  IniDocument doc = LoadForReading(path);
  if (const std::u16string* value = doc.Find(CString(section), CString(key))) return CopyEntry(*value, capacity);
  std::u16string_view def = CString(defaultValue);
  std::size_t end = def.find_last_not_of(u' ');
  def = def.substr(0, end == std::u16string_view::npos ? (def.empty() ? 0 : 1) : end + 1);
  return CopyEntry(def, capacity);
}

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  return 99;
}

// The platform's integer conversion of profile values: control characters and
// spaces skipped, an optional sign, the prefixes "0x", "0o" and "0b" for
// bases 16, 8 and 2 (lower case only), digits up to the first other character;
// the result wraps to 32 bits.
int32_t ParseProfileInt(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int base = 10;
  if (text.size() - i >= 2 && text[i] == u'0') {
    switch (text[i + 1]) {
      case u'x': base = 16; break;
      case u'o': base = 8; break;
      case u'b': base = 2; break;
      default: break;
    }
    if (base != 10) i += 2;
  }
  uint32_t total = 0;
  for (; i < text.size() && DigitValue(text[i]) < base; ++i) total = total * base + DigitValue(text[i]);
  return static_cast<int32_t>(negative ? 0u - total : total);
}

// Creates `path` holding `bytes` only when nothing exists there; true when a
// file exists afterwards (also when another writer created it meanwhile).
bool CreateNewFile(const std::filesystem::path& path, std::string_view bytes) {
#ifdef _WIN32
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  DWORD wrote = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
  CloseHandle(h);
#else
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST;
  bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ok = ::close(fd) == 0 && ok;
#endif
  if (!ok) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  return ok;
}

// Names that would not read back as written: a line break would start a new
// line, a '=' in a key would split it, and a key starting with '[' can read
// back as a section header.
bool SafeNames(std::u16string_view section, std::u16string_view key) {
  if (section.find_first_of(u"\r\n") != std::u16string_view::npos) return false;
  if (key.find_first_of(u"\r\n=") != std::u16string_view::npos) return false;
  std::size_t first = 0;
  while (first < key.size() && IsIniBlank(key[first])) ++first;
  return first == key.size() || key[first] != u'[';
}

}  // namespace
}  // namespace korvex

using namespace korvex;

CIniFile::CIniFile(std::filesystem::path path) : path_(std::move(path)) {}

const std::filesystem::path& CIniFile::Path() const { return path_; }

bool CIniFile::EnsureUnicodeFile() const {
  std::error_code ec;
  if (std::filesystem::exists(path_, ec)) return true;
  return CreateNewFile(path_, "\xFF\xFE");
}

std::u16string CIniFile::ReadIniString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue) const {
  return ProfileString(path_, section, key, defaultValue, kStringCapacity);
}

int32_t CIniFile::ReadIniInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue) const {
  std::u16string text = ProfileString(path_, section, key, u"", kIntCapacity);
  return text.empty() ? defaultValue : ParseProfileInt(text);
}

bool CIniFile::WriteIniString(std::u16string_view section, std::u16string_view key, std::u16string_view value) const {
  section = CString(section);
  key = CString(key);
  value = CString(value);
  if (!SafeNames(section, key)) return false;
  // Leading blanks are never stored. A line break in the value would turn the
  // rest into lines of their own, so the value is kept up to its first one.
  while (!value.empty() && IsIniBlank(value.front())) value.remove_prefix(1);
  value = value.substr(0, value.find_first_of(u"\r\n"));
  if (!EnsureUnicodeFile()) return false;
  auto bytes = ReadWholeFile(path_);
  if (!bytes) return false;  // never replace a file we could not read
  IniDocument doc = IniDocument::Parse(DecodeFileText(*bytes));
  if (!doc.Set(section, key, value)) return true;
  return ReplaceFileContents(path_, EncodeUtf16LeWithMark(doc.Serialize()));
}

bool CIniFile::WriteIniInt(std::u16string_view section, std::u16string_view key, int32_t value) const {
  return WriteIniString(section, key, FormatDecimal(value));
}
