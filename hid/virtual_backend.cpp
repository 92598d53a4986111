#include "hid/virtual_backend.h"

namespace korvex::hid {

CVirtualBackend::CVirtualBackend(std::filesystem::path folder, std::wstring pipeName)
    : host_(std::move(folder)), pipeName_(std::move(pipeName)) {}

CVirtualBackend::~CVirtualBackend() { Stop(); }

bool CVirtualBackend::Start(const usbwarden::DeviceFilter& filter, IHostEvents& events) {
  if (!host_.Start(filter, events)) return false;
  // Without its control channel the keyboard still serves the client.
  control_.Start(pipeName_, [this](std::string_view line) { return host_.HandleRequestLine(line); });
  return true;
}

void CVirtualBackend::Stop() {
  control_.Stop();
  host_.Stop();
}

bool CVirtualBackend::Write(uint16_t deviceId, const uint8_t* bytes, uint32_t length) {
  return host_.Write(deviceId, bytes, length);
}

bool CVirtualBackend::Read(uint16_t deviceId, uint8_t* buffer, uint32_t length) {
  return host_.Read(deviceId, buffer, length);
}

}  // namespace korvex::hid
