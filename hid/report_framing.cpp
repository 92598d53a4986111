#include "hid/report_framing.h"

#include <algorithm>

namespace korvex::hid {

std::optional<ReportChannel> WriteChannel(const HidInterfaceInfo& info) {
  if (info.outputReportBytes > 0) return ReportChannel::Output;
  if (info.featureReportBytes > 0) return ReportChannel::Feature;
  return std::nullopt;
}

std::optional<ReportChannel> ReadChannel(const HidInterfaceInfo& info) {
  if (info.featureReportBytes > 0) return ReportChannel::Feature;
  if (info.inputReportBytes > 0) return ReportChannel::Input;
  return std::nullopt;
}

uint16_t ReportBytes(const HidInterfaceInfo& info, ReportChannel channel) {
  switch (channel) {
    case ReportChannel::Output: return info.outputReportBytes;
    case ReportChannel::Feature: return info.featureReportBytes;
    case ReportChannel::Input: return info.inputReportBytes;
  }
  return 0;
}

std::optional<std::vector<uint8_t>> FrameReport(const uint8_t* bytes, std::size_t length, uint16_t reportBytes,
                                                bool numbered) {
  const std::size_t prefix = numbered ? 0 : 1;
  if (bytes == nullptr || length == 0 || prefix + length > reportBytes) return std::nullopt;
  std::vector<uint8_t> frame(reportBytes, 0);
  std::copy_n(bytes, length, frame.begin() + static_cast<std::ptrdiff_t>(prefix));
  return frame;
}

std::vector<uint8_t> UnframeReport(const std::vector<uint8_t>& received, bool numbered) {
  if (numbered || received.empty()) return received;
  return {received.begin() + 1, received.end()};
}

}  // namespace korvex::hid
