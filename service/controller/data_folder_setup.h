#pragma once
// The data folder's first-run set-up: the Profiles and Macros folders and
// the four default profiles. The current profile's link file is the marker
// that the set-up has been done.

#include <filesystem>
#include <string_view>

#include "store/records.h"

// True when the link file of the profile named `currentProfileName` is
// missing (no file or folder of its name). False when there is no data folder.
bool NeedsDataFolderSetUp(const std::filesystem::path& dataFolder, std::u16string_view currentProfileName);

// Creates "Profiles", writes the profile file of each list entry of `config`
// with the forced defaults of its position, records each entry's name in its
// link file, and creates "Macros". Failures are ignored: the service then
// runs on its in-memory defaults.
void SetUpDataFolder(const std::filesystem::path& dataFolder, const tagCONFIG_DATA& config);
