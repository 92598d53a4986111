#pragma once
// Helpers for tests of the store's files: UTF-16 text encoded the ways the XML
// class and the INI reader read it, and checks on the files a test leaves.
// The temporary folder and raw file bytes come from tests/support/temp_folder.h.

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvex::test {

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

// UTF-16LE bytes with the mark FF FE, as the INI files are written.
inline std::string Utf16File(std::u16string_view text) { return EncodeText(text, TextEncoding::Utf16LE); }

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

// Every encoding a store file may arrive in, for tests run once per encoding.
inline auto AllTextEncodings() {
  return ::testing::Values(TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Utf8Bom,
                           TextEncoding::Utf8);
}

}  // namespace korvex::test
