#pragma once
// The system's HID interfaces through SetupDi and the Windows HID API.

#include "hid/hid_device_set.h"

namespace korvex::hid {

class CWin32HidDeviceSet final : public IHidDeviceSet {
 public:
  std::vector<HidInterfaceInfo> Enumerate() override;
  std::unique_ptr<IHidConnection> Open(const HidInterfaceInfo& info) override;
};

}  // namespace korvex::hid
