#pragma once
// Time as the command protocol sees it: every pause between reports goes
// through this, so tests check the exact pause schedule without waiting and
// benchmarks measure the real one.

#include <cstdint>

class IClock {
 public:
  virtual ~IClock() = default;
  // Milliseconds from an arbitrary fixed start; never goes backwards.
  virtual uint64_t NowMs() = 0;
  // Blocks for at least `ms` milliseconds, and not much longer.
  virtual void SleepMs(uint32_t ms) = 0;
};
