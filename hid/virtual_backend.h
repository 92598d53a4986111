#pragma once
// The virtual keyboard backend of the library: the keyboard host plus its
// control channel, which runs while monitoring runs.

#include "hid/control_pipe_server.h"
#include "hid/virtual_keyboard_host.h"

namespace korvex::hid {

class CVirtualBackend final : public IHidBackend {
 public:
  CVirtualBackend(std::filesystem::path folder, std::wstring pipeName);
  ~CVirtualBackend() override;

  bool Start(const usbwarden::DeviceFilter& filter, IHostEvents& events) override;
  void Stop() override;
  bool Write(uint16_t deviceId, const uint8_t* bytes, uint32_t length) override;
  bool Read(uint16_t deviceId, uint8_t* buffer, uint32_t length) override;

 private:
  CVirtualKeyboardHost host_;
  std::wstring pipeName_;
  CControlPipeServer control_;
};

}  // namespace korvex::hid
