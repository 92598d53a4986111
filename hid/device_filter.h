#pragma once
// Which HID interfaces a client asked for: the device filter record and the
// test an interface must pass to be opened and reported.

#include <cstdint>

#include "hid/usbwarden_abi.h"

namespace korvex::hid {

// What identifies an interface for filtering.
struct InterfaceIdentity {
  uint16_t vendorId = 0, productId = 0;
  uint16_t usage = 0, usagePage = 0;
  friend bool operator==(const InterfaceIdentity&, const InterfaceIdentity&) = default;
};

// True when vendor and product are the filter's and (usage, usage page) is one
// of its pairs. Only the first PairCount pairs count, and never more than the
// record holds, so a damaged count cannot read past the record.
bool MatchesFilter(const usbwarden::DeviceFilter& filter, const InterfaceIdentity& identity);

// The record delivered with the monitor message for an interface.
usbwarden::DeviceState MakeDeviceState(bool opened, uint16_t deviceId, const InterfaceIdentity& identity);

}  // namespace korvex::hid
