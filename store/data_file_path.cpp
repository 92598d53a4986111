#include "store/data_file_path.h"

#include <string>

namespace korvex {

bool IsPlainFileName(std::u16string_view name) {
  return name.find_first_of(std::u16string_view(u"/\\:\0", 4)) == std::u16string_view::npos;
}

bool BuildDataFilePath(const std::filesystem::path& dataFolder, std::u16string_view subFolder,
                       std::u16string_view name, std::u16string_view extension,
                       const std::filesystem::path& folder, std::filesystem::path& path) {
  path.clear();
  if (!IsPlainFileName(name)) return false;
  const bool useFolder = !folder.empty();
  if (!useFolder && dataFolder.empty()) return false;
  std::u16string fileName(name);
  fileName += extension;
  // Converting UTF-16 to the native narrow encoding throws on unpaired
  // surrogates; such a name cannot name a file here.
  try {
    path = useFolder ? folder / std::filesystem::path(fileName)
                     : dataFolder / std::filesystem::path(subFolder) / std::filesystem::path(fileName);
  } catch (...) {
    path.clear();
    return false;
  }
  return true;
}

}  // namespace korvex
