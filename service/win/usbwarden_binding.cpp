#include "service/win/usbwarden_binding.h"

namespace {

template <typename Function>
bool Bind(HMODULE module, usbwarden::Ordinal ordinal, Function& function) {
  function = reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(static_cast<WORD>(ordinal)))));
  return function != nullptr;
}

}  // namespace

CUsbwardenBinding::CUsbwardenBinding(const std::filesystem::path& libraryPath) {
  module_ = LoadLibraryW(libraryPath.c_str());
  if (!module_) return;
  bound_ = Bind(module_, usbwarden::kSetDeviceFilter, setDeviceFilter_) &&
           Bind(module_, usbwarden::kSetInputCallback, setInputCallback_) &&
           Bind(module_, usbwarden::kStartMonitoring, startMonitoring_) &&
           Bind(module_, usbwarden::kStopMonitoring, stopMonitoring_) &&
           Bind(module_, usbwarden::kWriteReport, writeReport_) &&
           Bind(module_, usbwarden::kReadReport, readReport_);
}

CUsbwardenBinding::~CUsbwardenBinding() {
  Disconnect();
  if (module_) FreeLibrary(module_);
}

void CUsbwardenBinding::Disconnect() {
  if (!bound_) return;
  setInputCallback_(nullptr, 0);
  if (monitoring_) StopMonitoring();
}

void CUsbwardenBinding::SetDeviceFilter(const usbwarden::DeviceFilter& filter) {
  if (bound_) setDeviceFilter_(&filter, 0);
}

void CUsbwardenBinding::SetInputCallback(usbwarden::InputCallback callback) {
  if (bound_) setInputCallback_(callback, 0);
}

int32_t CUsbwardenBinding::StartMonitoring(usbwarden::WindowHandle window, uint32_t message) {
  if (!bound_) return 0;
  const int32_t handle = startMonitoring_(window, message, 0);
  monitoring_ = monitoring_ || handle != 0;
  return handle;
}

void CUsbwardenBinding::StopMonitoring() {
  if (!bound_) return;
  stopMonitoring_(0);
  monitoring_ = false;
}

bool CUsbwardenBinding::WriteReport(uint32_t deviceId, const uint8_t* bytes, uint32_t length) {
  return bound_ && writeReport_(deviceId, bytes, static_cast<int32_t>(length), 0) != 0;
}

bool CUsbwardenBinding::ReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length) {
  return bound_ && readReport_(deviceId, buffer, static_cast<int32_t>(length), 0) != 0;
}
