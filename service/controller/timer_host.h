#pragma once
// The service window's timers, as the controller starts and stops them. On
// Windows they are the window's own timers; their ticks come back to the
// controller through its OnTimer.

#include <cstdint>

class ITimerHost {
 public:
  virtual ~ITimerHost() = default;
  // Starts timer `id`, or restarts it when it runs, ticking every `ms`.
  virtual void SetTimer(uintptr_t id, uint32_t ms) = 0;
  // Stops timer `id`; stopping a timer that does not run does nothing.
  virtual void KillTimer(uintptr_t id) = 0;
};
