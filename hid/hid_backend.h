#pragma once
// One way of reaching the keyboard: real USB interfaces or the virtual
// keyboard. The exported operations forward to the backend chosen at start.

#include <cstdint>

#include "hid/host_events.h"
#include "hid/usbwarden_abi.h"

namespace korvex::hid {

class IHidBackend {
 public:
  virtual ~IHidBackend() = default;
  // Opens every interface that matches `filter` and reports each through
  // `events` (interfaces already present count as opened), then keeps
  // reporting arrivals, removals and input reports until Stop. `events` must
  // outlive the running backend.
  virtual bool Start(const usbwarden::DeviceFilter& filter, IHostEvents& events) = 0;
  // Ends every thread of the backend; no event is reported after it returns.
  virtual void Stop() = 0;
  virtual bool Write(uint16_t deviceId, const uint8_t* bytes, uint32_t length) = 0;
  virtual bool Read(uint16_t deviceId, uint8_t* buffer, uint32_t length) = 0;
};

}  // namespace korvex::hid
