#pragma once
// Where a backend sends what the client must learn about: interfaces that
// opened or closed, and input reports. The library's implementation queues
// them and hands them to the client's window and callback on a thread of its
// own, so a backend may call these from any thread without blocking on the
// client.

#include <cstdint>

#include "hid/usbwarden_abi.h"

namespace korvex::hid {

class IHostEvents {
 public:
  virtual ~IHostEvents() = default;
  virtual void InterfaceChanged(const usbwarden::DeviceState& state) = 0;
  // `bytes` is copied before the call returns.
  virtual void InputReport(uint16_t deviceId, const uint8_t* bytes, uint32_t length) = 0;
};

}  // namespace korvex::hid
