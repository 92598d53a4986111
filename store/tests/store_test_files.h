#pragma once
// Helpers for tests of the store's files: a private temporary folder, raw file
// bytes, and UTF-16 text encoded the ways the XML class reads it.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace korvex::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = "korvex-store-" + std::to_string(Tick()) + "-" + std::to_string(counter++);
    if (info) leaf += std::string("-") + info->name();
    for (char& c : leaf)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / leaf;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Creates and returns the sub-folder `name`.
  std::filesystem::path Sub(const std::filesystem::path& name) const {
    auto sub = path_ / name;
    std::filesystem::create_directories(sub);
    return sub;
  }

 private:
  static unsigned long long Tick() {
    return static_cast<unsigned long long>(std::filesystem::file_time_type::clock::now().time_since_epoch().count());
  }
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

enum class TextEncoding { Utf16LE, Utf16BE, Utf8Bom, Utf8 };

// `text` as the bytes of a file in `encoding`, with the byte-order mark where
// the encoding has one.
inline std::string EncodeText(std::u16string_view text, TextEncoding encoding) {
  std::string bytes;
  switch (encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      const bool little = encoding == TextEncoding::Utf16LE;
      bytes = little ? "\xFF\xFE" : "\xFE\xFF";
      for (char16_t u : text) {
        char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        bytes += little ? lo : hi;
        bytes += little ? hi : lo;
      }
      return bytes;
    }
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf8:
      if (encoding == TextEncoding::Utf8Bom) bytes = "\xEF\xBB\xBF";
      for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
          c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
          bytes += static_cast<char>(c);
        } else if (c < 0x800) {
          bytes += static_cast<char>(0xC0 | (c >> 6));
          bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
          bytes += static_cast<char>(0xE0 | (c >> 12));
          bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
          bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
          bytes += static_cast<char>(0xF0 | (c >> 18));
          bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
          bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
          bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
      return bytes;
  }
  return bytes;
}

inline std::string EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf16LE: return "Utf16LE";
    case TextEncoding::Utf16BE: return "Utf16BE";
    case TextEncoding::Utf8Bom: return "Utf8Bom";
    case TextEncoding::Utf8: return "Utf8";
  }
  return "?";
}

// An XML file of the store: the declaration naming `encodingName`, then `root`
// holding `body`.
inline std::u16string StoreDocumentText(std::u16string_view body, std::u16string_view encodingName = u"utf-16") {
  return u"<?xml version=\"1.0\" encoding=\"" + std::u16string(encodingName) + u"\"?>\r\n<root>" +
         std::u16string(body) + u"</root>\r\n";
}

// Keeps a second name (a hard link) for the file at `path`, so that a test can
// tell whether the path was later given a new file or the old one kept.
class FileIdentity {
 public:
  explicit FileIdentity(std::filesystem::path path)
      : path_(std::move(path)), witness_(path_.parent_path() / ("witness-" + path_.filename().string())) {
    std::filesystem::create_hard_link(path_, witness_);
  }
  bool Replaced() const { return !std::filesystem::equivalent(path_, witness_); }

 private:
  std::filesystem::path path_, witness_;
};

// Files directly inside `folder`, by name.
inline std::vector<std::string> FileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace korvex::test
