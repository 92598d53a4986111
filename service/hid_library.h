#pragma once
// The six operations of the HID access library, as the transport uses them.
// The Windows build binds them to the library's ordinal exports; tests bind
// them to fakes or to the virtual keyboard.

#include <cstdint>

#include "hid/usbwarden_abi.h"

class IHidLibrary {
 public:
  virtual ~IHidLibrary() = default;
  virtual void SetDeviceFilter(const usbwarden::DeviceFilter& filter) = 0;
  // A null callback clears it.
  virtual void SetInputCallback(usbwarden::InputCallback callback) = 0;
  // Starts reporting opened and closed interfaces as `message` to `window`.
  // Returns the monitoring handle, 0 on failure.
  virtual int32_t StartMonitoring(usbwarden::WindowHandle window, uint32_t message) = 0;
  virtual void StopMonitoring() = 0;
  virtual bool WriteReport(uint32_t deviceId, const uint8_t* bytes, uint32_t length) = 0;
  virtual bool ReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length) = 0;
};
