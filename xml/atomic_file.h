#pragma once
// Whole-file replacement that never leaves a truncated file behind.
//
// The new contents go to a temporary file in the same folder, which is then
// moved over the old one in one step. A crash, a kill or a full disk during the
// write leaves the previous file untouched. The data is not forced to the disk
// (no fsync): that would cost milliseconds on every key update, and the rename
// already guarantees that a reader sees either the old or the new file.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// Writes `bytes` as the complete new contents of `path`. On failure returns
// false, leaves any existing file unchanged, removes the temporary file and,
// when `error` is given, stores the operating system's message (first line).
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         std::u16string* error = nullptr);

// The operating system's text for its last file error, cut at the first line
// break (FormatMessage on Windows, strerror elsewhere).
std::u16string LastOsErrorMessage();

// Test hook: when set, the next writes stop with a failure after this many
// bytes of the temporary file were written, as a full disk would.
struct FileWriteFaults {
  static inline std::optional<std::size_t> failAfterBytes;
};

}  // namespace korvex
