#include "store/windows_user_registry.h"

#include <windows.h>

namespace {

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

}  // namespace

CWindowsUserRegistry::CWindowsUserRegistry(std::u16string keyPath) : keyPath_(std::move(keyPath)) {}

bool CWindowsUserRegistry::SetValue(std::u16string_view name, unsigned long type, const void* data,
                                    unsigned long size) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath_), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return false;
  std::u16string valueName(name);
  LONG status = RegSetValueExW(key, Wide(valueName), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool CWindowsUserRegistry::SetString(std::u16string_view name, std::u16string_view value) {
  // Stored with its terminating zero: 2 bytes per character plus 2.
  std::u16string text(value);
  return SetValue(name, REG_SZ, text.c_str(), static_cast<unsigned long>(2 * text.size() + 2));
}

bool CWindowsUserRegistry::SetDword(std::u16string_view name, uint32_t value) {
  DWORD data = value;
  return SetValue(name, REG_DWORD, &data, sizeof(data));
}
