#include "framework/tests/message_pump.h"

#include "framework/app.h"

namespace korvex::test {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout, CApp* app) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    MSG msg;
    while (!done() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Not ours to swallow: leave it for whoever runs the real loop.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      if (app && app->PreTranslateMessage(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

}  // namespace korvex::test
