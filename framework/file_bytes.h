#pragma once
// Whole-file reads for the picture loaders.

#include <cstddef>
#include <optional>
#include <vector>

namespace korvex {

// The contents of the file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::byte>> ReadWholeFile(const wchar_t* path);

}  // namespace korvex
