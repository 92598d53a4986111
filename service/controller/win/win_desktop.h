#pragma once
// Finding windows by name and posting to them, over Win32. Safe to use from
// any thread, as the transport's input callback needs.

#include "service/desktop.h"

class CWinDesktop final : public IDesktop {
 public:
  WindowHandle FindTopLevelWindow(std::u16string_view name) override;
  WindowHandle FindChildWindow(WindowHandle parent, std::u16string_view name) override;
  bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
};
