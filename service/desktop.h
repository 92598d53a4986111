#pragma once
// The few window operations the service needs from the desktop: finding
// windows of other programs by name and posting them messages.

#include <cstdint>
#include <string_view>

#include "hid/usbwarden_abi.h"

using usbwarden::WindowHandle;

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // The top-level window with exactly this name, or 0.
  virtual WindowHandle FindTopLevelWindow(std::u16string_view name) = 0;
  // The child window of `parent` with exactly this name, or 0.
  virtual WindowHandle FindChildWindow(WindowHandle parent, std::u16string_view name) = 0;
  // Posts without waiting; false when the window is gone or the post failed.
  // (Not named PostMessage: windows.h turns that name into a macro.)
  virtual bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};
