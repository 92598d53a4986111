#pragma once
// Host events that record what a backend reports, with waits on a deadline
// for what arrives from the backend's threads.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "hid/host_events.h"

namespace korvex::hid::testing {

struct RecordedInput {
  uint16_t deviceId;
  std::vector<uint8_t> bytes;
  friend bool operator==(const RecordedInput&, const RecordedInput&) = default;
};

class CRecordingHostEvents final : public IHostEvents {
 public:
  void InterfaceChanged(const usbwarden::DeviceState& state) override {
    std::lock_guard lock(mutex_);
    changes_.push_back(state);
    changed_.notify_all();
  }
  void InputReport(uint16_t deviceId, const uint8_t* bytes, uint32_t length) override {
    std::lock_guard lock(mutex_);
    inputs_.push_back({deviceId, std::vector<uint8_t>(bytes, bytes + length)});
    changed_.notify_all();
  }

  std::vector<usbwarden::DeviceState> Changes() const {
    std::lock_guard lock(mutex_);
    return changes_;
  }
  std::vector<RecordedInput> Inputs() const {
    std::lock_guard lock(mutex_);
    return inputs_;
  }
  // True once at least `count` interface changes were reported, false at the deadline.
  bool WaitForChanges(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(5)) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return changes_.size() >= count; });
  }
  bool WaitForInputs(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(5)) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return inputs_.size() >= count; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<usbwarden::DeviceState> changes_;
  std::vector<RecordedInput> inputs_;
};

// Waits until `condition` holds, polling, or the deadline passes.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace korvex::hid::testing
