#pragma once
// The HID library over the virtual keyboard: starting to monitor reports the
// keyboard's five vendor interfaces as opened (interface of usage u has the
// identifier 0x100 + u), and writes and reads reach the keyboard model on the
// interface's usage. Header-only so that tests and benchmarks share it.

#include <functional>
#include <utility>

#include "devsim/virtual_keyboard.h"
#include "keyboard/keyboard_layout.h"
#include "service/hid_library.h"

class DevsimHidLibrary final : public IHidLibrary {
 public:
  using MonitorSink = std::function<void(const usbwarden::DeviceState&)>;
  static constexpr uint32_t kFirstDeviceId = 0x100;
  static constexpr int32_t kMonitorHandle = 0x4B;

  // `monitor` receives the open notifications, as the transport window would.
  DevsimHidLibrary(korvex::devsim::CVirtualKeyboard& keyboard, MonitorSink monitor)
      : keyboard_(keyboard), monitor_(std::move(monitor)) {}

  void SetDeviceFilter(const usbwarden::DeviceFilter& filter) override { filter_ = filter; }
  void SetInputCallback(usbwarden::InputCallback callback) override { callback_ = callback; }
  void StopMonitoring() override {}

  // Reports every vendor interface the filter names as opened, as a library
  // does for interfaces already present when monitoring starts.
  int32_t StartMonitoring(usbwarden::WindowHandle, uint32_t) override {
    if (filter_.VendorID != keyboard::kVendorId || filter_.ProductID != keyboard::kProductId) return 0;
    if (keyboard_.IsPlugged() && monitor_) {
      for (uint32_t k = 0; k < filter_.PairCount && k < usbwarden::kMaxPairs; ++k) {
        const auto& pair = filter_.Pairs[k];
        if (pair.UsagePage == keyboard::kVendorUsagePage && pair.Usage >= 1 &&
            pair.Usage <= keyboard::kInterfaceCount)
          monitor_({1, kFirstDeviceId + pair.Usage, pair.Usage << 16, pair.UsagePage});
      }
    }
    return kMonitorHandle;
  }

  bool WriteReport(uint32_t deviceId, const uint8_t* bytes, uint32_t length) override {
    const int usage = UsageOf(deviceId);
    return usage != 0 && keyboard_.ReceiveReport(usage, bytes, length);
  }
  bool ReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length) override {
    const int usage = UsageOf(deviceId);
    return usage != 0 && keyboard_.ReadReport(usage, buffer, length);
  }

  usbwarden::InputCallback InputCallback() const { return callback_; }

 private:
  // The usage of one of the keyboard's interfaces, 0 for any other identifier.
  static int UsageOf(uint32_t deviceId) {
    const uint32_t usage = deviceId - kFirstDeviceId;
    return (deviceId > kFirstDeviceId && usage <= keyboard::kInterfaceCount) ? static_cast<int>(usage) : 0;
  }

  korvex::devsim::CVirtualKeyboard& keyboard_;
  MonitorSink monitor_;
  usbwarden::DeviceFilter filter_{};
  usbwarden::InputCallback callback_ = nullptr;
};
