#include "service/system_clock.h"

#include <chrono>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#include <timeapi.h>
#endif

namespace {
using Clock = std::chrono::steady_clock;

#if defined(_WIN32)
// Ask once per process for a 1 ms scheduler tick, so that the coarse part of a
// pause overshoots by at most about a millisecond.
void RequestFineTimerResolution() {
  static const bool requested = (timeBeginPeriod(1) == TIMERR_NOERROR);
  (void)requested;
}
// The coarse sleep stops this far before the due time; the rest is spent
// yielding, which ends the pause within the clock's resolution.
constexpr auto kSpinMargin = std::chrono::milliseconds(2);
#endif
}  // namespace

SystemClock::SystemClock() {
#if defined(_WIN32)
  RequestFineTimerResolution();
#endif
}

uint64_t SystemClock::NowMs() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMs(uint32_t ms) {
  const auto due = Clock::now() + std::chrono::milliseconds(ms);
#if defined(_WIN32)
  if (std::chrono::milliseconds(ms) > kSpinMargin) std::this_thread::sleep_until(due - kSpinMargin);
  while (Clock::now() < due) std::this_thread::yield();
#else
  // The kernel's timers end a sleep within tens of microseconds; sleeping
  // until a fixed due time also absorbs an early wake-up.
  while (Clock::now() < due) std::this_thread::sleep_until(due);
#endif
}
