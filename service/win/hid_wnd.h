#pragma once
// CHidWnd: the hidden service window "Korvex_Hid", the service's only point
// of contact. Every message it handles is forwarded to CHidController, which
// holds the rules; this class owns the Win32 pieces the controller works
// through (the HID library, the desktop, the shell, the registry, the timers
// of this window, the progress window) and the transport's own window.

#include <filesystem>
#include <memory>

#include "framework/window.h"
#include "service/controller/hid_controller.h"
#include "service/controller/win/win_desktop.h"
#include "service/controller/win/win_shell.h"
#include "service/controller/win/win_timer_host.h"
#include "service/system_clock.h"
#include "service/win/usb_transport_window.h"
#include "service/win/usbwarden_binding.h"
#include "service/win/win_progress_window.h"
#include "store/windows_user_registry.h"

class CHidWnd final : public korvex::CWindow {
 public:
  // Both folders end with a backslash; `dataFolder` may be empty (nothing is
  // then read or written).
  CHidWnd(std::filesystem::path programFolder, std::filesystem::path dataFolder);
  // Destroys the window first, then stops the HID library's notifications
  // and releases the transport and its window.
  ~CHidWnd() override;

  // The hidden pop-up "Korvex_Hid" at (1, 1), 1 x 1 pixel, never shown.
  bool CreateServiceWindow();

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  int OnCreate(CREATESTRUCTW& create) override;
  void OnDestroy() override;

 private:
  // The messages of the service's message table; false for any other.
  bool ForwardServiceMessage(UINT message, WPARAM wParam, LPARAM lParam);

  std::filesystem::path programFolder_;
  std::filesystem::path dataFolder_;
  CUsbwardenBinding hid_;
  CWinDesktop desktop_;
  SystemClock clock_;
  CWinShell shell_;
  CWindowsUserRegistry registry_;
  CWinProgressWindow progress_;
  std::unique_ptr<CWinTimerHost> timers_;
  CUsbTransportWindow transportWindow_;
  std::unique_ptr<CHidController> controller_;
};
