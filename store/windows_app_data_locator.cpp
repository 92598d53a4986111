#include "store/windows_app_data_locator.h"

#include <windows.h>
#include <shlobj.h>

std::optional<std::filesystem::path> CWindowsAppDataLocator::RoamingAppData() {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer)) ||
      buffer[0] == 0)
    return std::nullopt;
  return std::filesystem::path(buffer);
}
