#pragma once
// The client always passes reports as bare bytes (8 for the keyboard's
// command protocol). The system's HID buffers begin with a report ID byte and
// have the report's full length. For an interface whose reports are numbered,
// the client's first byte is the report ID; otherwise a 0 is put in front on
// the way out and taken off on the way in.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "hid/hid_device_set.h"

namespace korvex::hid {

// The channel a write goes through: output reports when the interface has
// them, feature reports otherwise; nothing when it has neither.
std::optional<ReportChannel> WriteChannel(const HidInterfaceInfo& info);
// The channel a requested read goes through: feature reports when the
// interface has them, input reports fetched on request otherwise.
std::optional<ReportChannel> ReadChannel(const HidInterfaceInfo& info);

// Report length (ID byte included) of a channel.
uint16_t ReportBytes(const HidInterfaceInfo& info, ReportChannel channel);

// The system buffer carrying the client's `length` bytes on a channel whose
// reports have `reportBytes` bytes, zero-padded. Nothing when the client's
// report is empty or does not fit.
std::optional<std::vector<uint8_t>> FrameReport(const uint8_t* bytes, std::size_t length, uint16_t reportBytes,
                                                bool numbered);

// The client's bytes of a received system buffer.
std::vector<uint8_t> UnframeReport(const std::vector<uint8_t>& received, bool numbered);

}  // namespace korvex::hid
