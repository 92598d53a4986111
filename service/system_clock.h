#pragma once
// The real clock: a monotonic millisecond count and pauses that end within a
// fraction of a millisecond of their due time, also on Windows, whose plain
// sleep rounds up to the scheduler tick.

#include "service/clock.h"

class SystemClock final : public IClock {
 public:
  SystemClock();
  uint64_t NowMs() override;
  void SleepMs(uint32_t ms) override;
};
