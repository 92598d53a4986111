#pragma once
// Raw file access for the XML reader and the appending writer. Errors are
// reported as the operating system's message (first line).

#include <filesystem>
#include <string>
#include <string_view>

namespace korvex::xml {

// Reads the whole file.
bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::u16string* error);

// True when the file does not exist or holds no bytes.
bool IsMissingOrEmpty(const std::filesystem::path& path);

// Appends to the file, creating it when missing.
bool AppendFileBytes(const std::filesystem::path& path, std::string_view bytes,
                     std::u16string* error);

}  // namespace korvex::xml
