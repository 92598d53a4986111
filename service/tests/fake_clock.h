#pragma once
// A clock that only moves when slept on: every pause is recorded and
// advances the time at once.

#include <cstdint>
#include <numeric>
#include <vector>

#include "service/clock.h"

class FakeClock final : public IClock {
 public:
  uint64_t NowMs() override { return now_; }
  void SleepMs(uint32_t ms) override {
    sleeps_.push_back(ms);
    now_ += ms;
  }
  const std::vector<uint32_t>& Sleeps() const { return sleeps_; }
  uint64_t TotalSleptMs() const { return std::accumulate(sleeps_.begin(), sleeps_.end(), uint64_t{0}); }

 private:
  uint64_t now_ = 0;
  std::vector<uint32_t> sleeps_;
};
