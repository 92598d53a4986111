#include "hid/device_filter.h"

#include <algorithm>

namespace korvex::hid {

bool MatchesFilter(const usbwarden::DeviceFilter& filter, const InterfaceIdentity& identity) {
  if (filter.VendorID != identity.vendorId || filter.ProductID != identity.productId) return false;
  const uint32_t count = std::min(filter.PairCount, usbwarden::kMaxPairs);
  return std::any_of(filter.Pairs, filter.Pairs + count, [&](const usbwarden::DeviceFilter::Pair& pair) {
    return pair.Usage == identity.usage && pair.UsagePage == identity.usagePage;
  });
}

usbwarden::DeviceState MakeDeviceState(bool opened, uint16_t deviceId, const InterfaceIdentity& identity) {
  return usbwarden::DeviceState{opened ? 1u : 0u, deviceId, static_cast<uint32_t>(identity.usage) << 16,
                                identity.usagePage};
}

}  // namespace korvex::hid
