#pragma once
// The per-user roaming application-data folder as Windows names it.

#include "store/data_folder.h"

class CWindowsAppDataLocator final : public IAppDataLocator {
 public:
  // SHGetFolderPathW(CSIDL_APPDATA | CSIDL_FLAG_CREATE): created if missing.
  std::optional<std::filesystem::path> RoamingAppData() override;
};
