#pragma once
// Which of the system's HID interfaces are open for the client, under which
// identifiers, and what a fresh enumeration changes about that.
//
// An interface arrives when it matches the filter, is present and is not open
// yet; it is removed when it is open but no longer present, or when its reader
// found it gone. Identifiers are 16-bit, never 0, unique among the open
// interfaces, and handed out in increasing order (wrapping), so an identifier
// that just closed is not reused at once for another interface.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "hid/hid_device_set.h"
#include "hid/usbwarden_abi.h"

namespace korvex::hid {

class CInterfaceTracker {
 public:
  explicit CInterfaceTracker(const usbwarden::DeviceFilter& filter) : filter_(filter) {}

  struct Changes {
    std::vector<uint16_t> removed;          // identifiers to close, in identifier order
    std::vector<HidInterfaceInfo> arrived;  // interfaces to open, in enumeration order
  };
  Changes Compare(const std::vector<HidInterfaceInfo>& present) const;

  // Records an interface as open and returns its identifier.
  uint16_t Add(const HidInterfaceInfo& info);
  // Forgets an open interface; nothing for an unknown identifier.
  std::optional<HidInterfaceInfo> Remove(uint16_t id);
  // Marks an open interface as gone: the next Compare removes it.
  void MarkGone(uint16_t id);

  const HidInterfaceInfo* Find(uint16_t id) const;
  std::vector<uint16_t> OpenIds() const;

 private:
  usbwarden::DeviceFilter filter_;
  std::map<uint16_t, HidInterfaceInfo> open_;
  std::set<uint16_t> gone_;
  uint16_t lastId_ = 0;
};

}  // namespace korvex::hid
