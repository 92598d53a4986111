#pragma once
// The operating system's HID interfaces as the usb backend sees them: list
// what is present, open one, move reports. The Windows implementation sits on
// SetupDi and the HID API; tests use a fake.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hid/device_filter.h"

namespace korvex::hid {

struct HidInterfaceInfo {
  std::string path;  // the system's name of the interface; stable while it is present
  InterfaceIdentity identity;
  // Report lengths as the system states them, report ID byte included; 0 when
  // the interface has no report of that kind.
  uint16_t inputReportBytes = 0, outputReportBytes = 0, featureReportBytes = 0;
  // The reports carry a non-zero report ID as their first byte. Otherwise the
  // system still adds a first byte, always 0.
  bool numberedReports = false;
};

enum class ReportChannel {
  Output,   // output report on the interrupt or control pipe (WriteFile)
  Feature,  // feature report (set or get)
  Input,    // input report fetched on request (get)
};

enum class ReadStatus { Report, Stopped, Gone };

// One opened interface. Every operation may be called from any thread.
class IHidConnection {
 public:
  virtual ~IHidConnection() = default;
  // Waits for the next input report of the interrupt stream: Report with
  // `report` holding the bytes read, Stopped once CancelRead was called, Gone
  // when the interface went away or failed.
  virtual ReadStatus ReadInput(std::vector<uint8_t>& report) = 0;
  // Makes the waiting and every later ReadInput return Stopped.
  virtual void CancelRead() = 0;
  // Sends a whole report, report ID byte first.
  virtual bool Send(ReportChannel channel, const std::vector<uint8_t>& report) = 0;
  // Requests a report; `report` comes sized to the report length with its
  // first byte set to the report ID wanted, and is filled in place.
  virtual bool Fetch(ReportChannel channel, std::vector<uint8_t>& report) = 0;
};

class IHidDeviceSet {
 public:
  virtual ~IHidDeviceSet() = default;
  // Every HID interface present now whose identity could be read.
  virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
  // nullptr when the interface cannot be opened for reading and writing.
  virtual std::unique_ptr<IHidConnection> Open(const HidInterfaceInfo& info) = 0;
};

}  // namespace korvex::hid
