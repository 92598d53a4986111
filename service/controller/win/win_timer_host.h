#pragma once
// The timers of one window: each tick arrives as WM_TIMER with the timer's id.

#include <windows.h>

#include "service/controller/timer_host.h"

class CWinTimerHost final : public ITimerHost {
 public:
  explicit CWinTimerHost(HWND window) : window_(window) {}
  void SetTimer(uintptr_t id, uint32_t ms) override { ::SetTimer(window_, id, ms, nullptr); }
  void KillTimer(uintptr_t id) override { ::KillTimer(window_, id); }

 private:
  HWND window_;
};
