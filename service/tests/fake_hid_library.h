#pragma once
// A HID library that records every call, with the fake clock's time for
// writes, and answers with configurable results.

#include <array>
#include <cstdint>
#include <vector>

#include "service/hid_library.h"
#include "service/tests/fake_clock.h"

struct WrittenReport {
  uint32_t deviceId;
  std::vector<uint8_t> bytes;
  uint64_t atMs;
};

class FakeHidLibrary final : public IHidLibrary {
 public:
  explicit FakeHidLibrary(IClock* clock = nullptr) : clock_(clock) {}

  // What the library answers.
  int32_t startResult = 0x1234;
  bool writeResult = true;
  bool readResult = true;
  std::array<uint8_t, 8> readReply{};

  // What it was given.
  std::vector<usbwarden::DeviceFilter> filters;
  std::vector<usbwarden::InputCallback> callbacks;
  std::vector<std::pair<usbwarden::WindowHandle, uint32_t>> starts;
  int stops = 0;
  std::vector<WrittenReport> writes;
  std::vector<uint32_t> reads;

  void SetDeviceFilter(const usbwarden::DeviceFilter& filter) override { filters.push_back(filter); }
  void SetInputCallback(usbwarden::InputCallback callback) override { callbacks.push_back(callback); }
  int32_t StartMonitoring(usbwarden::WindowHandle window, uint32_t message) override {
    starts.emplace_back(window, message);
    return startResult;
  }
  void StopMonitoring() override { ++stops; }
  bool WriteReport(uint32_t deviceId, const uint8_t* bytes, uint32_t length) override {
    writes.push_back({deviceId, std::vector<uint8_t>(bytes, bytes + length), clock_ ? clock_->NowMs() : 0});
    return writeResult;
  }
  bool ReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length) override {
    reads.push_back(deviceId);
    if (readResult)
      for (uint32_t i = 0; i < length && i < readReply.size(); ++i) buffer[i] = readReply[i];
    return readResult;
  }

 private:
  IClock* clock_;
};
