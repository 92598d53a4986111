#pragma once
// The real keyboard's interfaces, reached through a device set.
//
// Start opens the interfaces that match the filter and are present, reporting
// each as opened; a monitor thread then enumerates again every
// `rescanInterval` (and at once when a reader finds its interface gone),
// closing what disappeared and opening what arrived. Each open interface has a
// reader thread that passes its input reports on, without the report ID byte
// when its reports are unnumbered. Writes and requested reads run on the
// caller's thread.

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "hid/hid_backend.h"
#include "hid/hid_device_set.h"
#include "hid/interface_tracker.h"

namespace korvex::hid {

class CUsbBackend final : public IHidBackend {
 public:
  CUsbBackend(std::unique_ptr<IHidDeviceSet> devices, std::chrono::milliseconds rescanInterval);
  ~CUsbBackend() override;

  bool Start(const usbwarden::DeviceFilter& filter, IHostEvents& events) override;
  void Stop() override;
  bool Write(uint16_t deviceId, const uint8_t* bytes, uint32_t length) override;
  bool Read(uint16_t deviceId, uint8_t* buffer, uint32_t length) override;

 private:
  struct OpenInterface {
    HidInterfaceInfo info;
    std::shared_ptr<IHidConnection> connection;
    std::thread reader;
  };

  void MonitorLoop();
  void Rescan();
  void ReaderLoop(uint16_t id, std::shared_ptr<IHidConnection> connection, bool numbered);
  // Ends the reader of an interface taken out of the books and reports it closed.
  void Close(uint16_t id, OpenInterface& open);
  // The interface's description and connection, while it is open.
  std::optional<std::pair<HidInterfaceInfo, std::shared_ptr<IHidConnection>>> Lookup(uint16_t id);

  std::unique_ptr<IHidDeviceSet> devices_;
  std::chrono::milliseconds rescanInterval_;
  IHostEvents* events_ = nullptr;

  std::mutex mutex_;  // guards everything below
  std::condition_variable wake_;
  bool stopping_ = false;
  bool rescanRequested_ = false;
  std::optional<CInterfaceTracker> tracker_;
  std::map<uint16_t, std::unique_ptr<OpenInterface>> open_;
  std::thread monitor_;
};

}  // namespace korvex::hid
