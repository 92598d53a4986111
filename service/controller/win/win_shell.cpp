#include "service/controller/win/win_shell.h"

// clang-format off
#include <windows.h>
#include <msi.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
// clang-format on

#include <string>

#include "framework/com_ref.h"

namespace {

// Win32 wide strings are UTF-16, like the portable core's text.
std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string Utf16(const wchar_t* text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), wcslen(text));
}

// COM for the duration of one call, on whatever thread makes it.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

// The component path of an installer-advertised shortcut. Any answer other
// than success means the installer does not know the shortcut.
std::optional<std::u16string> InstallerShortcutTarget(const std::wstring& path) {
  wchar_t product[39] = {}, feature[MAX_FEATURE_CHARS + 1] = {}, component[39] = {};
  if (MsiGetShortcutTargetW(path.c_str(), product, feature, component) != ERROR_SUCCESS) return std::nullopt;
  wchar_t target[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const INSTALLSTATE state = MsiGetComponentPathW(product, component, target, &size);
  if ((state != INSTALLSTATE_LOCAL && state != INSTALLSTATE_SOURCE) || target[0] == 0) return std::nullopt;
  return Utf16(target);
}

std::optional<std::u16string> ShellLinkTarget(const std::wstring& path) {
  ComScope com;
  korvex::CComRef<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out()))))
    return std::nullopt;
  korvex::CComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) return std::nullopt;
  if (FAILED(file->Load(path.c_str(), STGM_READ))) return std::nullopt;
  wchar_t target[MAX_PATH] = {};
  if (link->GetPath(target, MAX_PATH, nullptr, 0) != S_OK || target[0] == 0) return std::nullopt;
  return Utf16(target);
}

}  // namespace

bool CWinShell::Open(std::u16string_view path) {
  const std::wstring file = Wide(path);
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::u16string> CWinShell::ResolveShortcut(std::u16string_view path) {
  const std::wstring file = Wide(path);
  if (std::optional<std::u16string> target = InstallerShortcutTarget(file)) return target;
  return ShellLinkTarget(file);
}

bool CWinShell::FileExists(std::u16string_view path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::u16string> CWinShell::ForegroundImageName() {
  const HWND foreground = GetForegroundWindow();
  if (!foreground) return std::nullopt;
  DWORD processId = 0;
  GetWindowThreadProcessId(foreground, &processId);
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::u16string> name;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == processId) {
      name = Utf16(entry.szExeFile);
      break;
    }
  }
  CloseHandle(snapshot);
  return name;
}
