#include "service/controller/data_folder_setup.h"

#include <memory>
#include <system_error>

#include "store/data_file_path.h"
#include "store/fixed_text.h"
#include "store/ini_file.h"
#include "store/profile_file.h"

namespace {

bool LinkFilePath(const std::filesystem::path& dataFolder, std::u16string_view name, std::filesystem::path& path) {
  return korvex::BuildDataFilePath(dataFolder, u"Profiles", name, u".ini", {}, path);
}

}  // namespace

bool NeedsDataFolderSetUp(const std::filesystem::path& dataFolder, std::u16string_view currentProfileName) {
  if (dataFolder.empty()) return false;
  std::filesystem::path path;
  std::error_code ec;
  // A name that cannot be a file name has no link file either.
  return !LinkFilePath(dataFolder, currentProfileName, path) || !std::filesystem::exists(path, ec);
}

void SetUpDataFolder(const std::filesystem::path& dataFolder, const tagCONFIG_DATA& config) {
  if (dataFolder.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(dataFolder / "Profiles", ec);
  auto scratch = std::make_unique<tagPROFILE_DATA>();
  for (int position = 0; position < PROFILE_COUNT; ++position) {
    const std::u16string_view name = FixedTextView(config.profiles[position].ProfileName);
    ResetProfileData(*scratch);
    SetProfileDefaults(position, *scratch, true);
    WriteProfileFile(dataFolder, name, *scratch);
    // The list entries were written before the Profiles folder existed, so
    // their link files could not be; without them every later start would
    // take the data folder for new and overwrite the user's profiles.
    std::filesystem::path linkPath;
    if (LinkFilePath(dataFolder, name, linkPath)) CIniFile(linkPath).WriteIniString(u"GROUP", u"CurrentProfileName", name);
  }
  std::filesystem::create_directories(dataFolder / "Macros", ec);
}
