// Any bytes as an INI file: reads of several sections and keys and a write
// must not crash, hang or touch memory outside the text. Checked along the way:
//  - a value just written reads back unchanged, from the file and in memory;
//  - a rewritten file is UTF-16LE with the mark, and rewriting it again with
//    the same value leaves it byte for byte as it is.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "store/file_text.h"
#include "store/ini_document.h"
#include "store/ini_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// One file per process, in memory where the system offers it.
const std::filesystem::path& FuzzFile() {
  struct Folder {
    std::filesystem::path path;
    Folder() {
      std::error_code ec;
      std::filesystem::path base =
          std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
      path = base / ("korvex-ini-fuzz-" + std::to_string(getpid()));
      std::filesystem::create_directories(path);
      path /= "fuzz.ini";
    }
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(path.parent_path(), ec);
    }
  };
  static const Folder folder;
  return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::filesystem::path& path = FuzzFile();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  CIniFile ini(path);

  // Names taken from the input itself as well as the ones the store uses.
  std::u16string text = korvex::DecodeFileText(bytes);
  std::u16string_view head = std::u16string_view(text).substr(0, 8);
  std::u16string_view tail = std::u16string_view(text).substr(text.size() > 8 ? text.size() - 8 : 0);
  const std::u16string_view sections[] = {u"Setting", u"MyXlistIconInfo0", u"", u" GROUP ", head, tail};
  const std::u16string_view keys[] = {u"Profile", u"ProfileName", u"", u"LinkExe0", head, tail};
  for (auto section : sections) {
    for (auto key : keys) {
      Check(ini.ReadIniString(section, key, u"d").size() <= 4095);
      ini.ReadIniInt(section, key, -1);
    }
  }

  korvex::IniDocument doc = korvex::IniDocument::Parse(text);
  doc.Set(u"Fz", u"k", u"12345");
  const std::u16string* inMemory = doc.Find(u"fz", u"K");
  Check(inMemory && *inMemory == u"12345");

  if (ini.WriteIniString(u"Fz", u"k", u"12345")) {
    Check(ini.ReadIniString(u"FZ", u"k", u"") == u"12345");
    Check(ini.ReadIniInt(u"fz", u"K", 0) == 12345);
    std::string written = ReadAll(path);
    Check(written.size() % 2 == 0);
    Check(written.substr(0, 2) == "\xFF\xFE" || written == bytes);  // unchanged files are left alone
    Check(ini.WriteIniString(u"Fz", u"k", u"12345"));
    Check(ReadAll(path) == written);
  }
  return 0;
}
