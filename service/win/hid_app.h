#pragma once
// CHidApp: the device service's application object. One copy per user
// logon (the named mutex "Korvex_Hid_MUTEX"); works out the program folder
// and the per-user data folder, and creates the hidden service window.

#include <windows.h>

#include <filesystem>
#include <memory>

#include "framework/app.h"
#include "service/win/hid_wnd.h"

class CHidApp final : public korvex::CApp {
 public:
  bool InitInstance() override;
  // Ends the service window (and with it the transport), then the mutex.
  int ExitInstance() override;

 private:
  HANDLE mutex_ = nullptr;
  std::unique_ptr<CHidWnd> window_;
};

// The folder of the running program, ending with a backslash.
std::filesystem::path RunningProgramFolder();
