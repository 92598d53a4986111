#include "hid/vkb_locations.h"

#include <windows.h>

#include <shlobj.h>

#include "hid/win32_text.h"

namespace korvex::hid {

std::filesystem::path VirtualKeyboardFolder() {
  const std::wstring chosen = EnvironmentValue(L"KORVEX_VKB_STATE_DIR");
  if (!chosen.empty()) return std::filesystem::path(chosen);
  wchar_t appData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData)))
    return {};
  return std::filesystem::path(appData) / L"Korvex" / L"VirtualKeyboard";
}

std::wstring ControlPipeName() {
  const std::wstring prefix = L"\\\\.\\pipe\\";
  const std::wstring chosen = EnvironmentValue(L"KORVEX_VKB_PIPE");
  if (chosen.empty()) return prefix + L"Korvex_VirtualKeyboard";
  return chosen.rfind(prefix, 0) == 0 ? chosen : prefix + chosen;
}

}  // namespace korvex::hid
