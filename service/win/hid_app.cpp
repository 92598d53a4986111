#include "service/win/hid_app.h"

#include <string>

#include "store/data_folder.h"
#include "store/windows_app_data_locator.h"

namespace {

constexpr const wchar_t* kSingleInstanceMutex = L"Korvex_Hid_MUTEX";
constexpr std::u16string_view kDataFolder = u"\\Korvex\\";

}  // namespace

std::filesystem::path RunningProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  // Drive and folder of the program, keeping the backslash that ends them.
  return std::filesystem::path(path.substr(0, path.find_last_of(L"\\/") + 1));
}

bool CHidApp::InitInstance() {
  if (!CApp::InitInstance()) return false;
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, kSingleInstanceMutex);
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    // Another copy serves this logon: end silently, touching nothing.
    CloseHandle(mutex);
    return false;
  }
  mutex_ = mutex;

  CWindowsAppDataLocator appData;
  window_ = std::make_unique<CHidWnd>(RunningProgramFolder(), EnsureDataFolder(appData, kDataFolder));
  // Without its window the service could neither be reached nor be ended.
  if (!window_->CreateServiceWindow()) return false;
  SetMainWindow(window_.get());
  return true;
}

int CHidApp::ExitInstance() {
  SetMainWindow(nullptr);
  window_.reset();
  if (mutex_) {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
    mutex_ = nullptr;
  }
  return CApp::ExitInstance();
}
