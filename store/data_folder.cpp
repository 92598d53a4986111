#include "store/data_folder.h"

#include <string>
#include <system_error>

std::filesystem::path EnsureDataFolder(IAppDataLocator& locator, std::u16string_view relative) {
  std::optional<std::filesystem::path> appData = locator.RoamingAppData();
  if (!appData || appData->empty()) return {};
  std::filesystem::path folder = *appData;
  // Every level that a backslash closes is a folder: the application-data
  // folder itself, then each level of `relative`. A level that is missing or
  // is not a folder is created; a failure (say, a file in the way) is passed
  // over, and the caller's first file access under it fails instead.
  auto ensure = [](const std::filesystem::path& level) {
    std::error_code ec;
    if (!std::filesystem::is_directory(level, ec)) std::filesystem::create_directory(level, ec);
  };
  std::size_t start = 0;
  for (std::size_t slash = relative.find(u'\\'); slash != std::u16string_view::npos;
       start = slash + 1, slash = relative.find(u'\\', start)) {
    std::u16string_view name = relative.substr(start, slash - start);
    if (!name.empty()) folder /= std::u16string(name);
    ensure(folder);
  }
  std::u16string_view last = relative.substr(start);
  folder /= std::u16string(last);  // an empty last part leaves a trailing separator
  return folder;
}
