#pragma once
// CUsbwardenBinding: the HID access library Usbwarden.dll, loaded from the
// program folder and bound by the ordinals of its six operations.
//
// Loaded at run time rather than linked through an import library, so that
// the service still starts (single instance, data folder, service window)
// when the library is missing or incomplete: every operation then fails the
// way a keyboard that is not there fails, and the commands' re-registration
// keeps trying. Loading by full path keeps the search to the product folder.

#include <windows.h>

#include <filesystem>

#include "service/hid_library.h"

class CUsbwardenBinding final : public IHidLibrary {
 public:
  explicit CUsbwardenBinding(const std::filesystem::path& libraryPath);
  // Disconnect, then the library is unloaded.
  ~CUsbwardenBinding() override;
  CUsbwardenBinding(const CUsbwardenBinding&) = delete;
  CUsbwardenBinding& operator=(const CUsbwardenBinding&) = delete;

  // True when the library was loaded and all six operations were found.
  bool Bound() const { return bound_; }
  // Clears the input callback and stops monitoring, so that no notification
  // and no input report arrives any more. Safe to call more than once.
  void Disconnect();

  void SetDeviceFilter(const usbwarden::DeviceFilter& filter) override;
  void SetInputCallback(usbwarden::InputCallback callback) override;
  int32_t StartMonitoring(usbwarden::WindowHandle window, uint32_t message) override;
  void StopMonitoring() override;
  bool WriteReport(uint32_t deviceId, const uint8_t* bytes, uint32_t length) override;
  bool ReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length) override;

 private:
  HMODULE module_ = nullptr;
  bool bound_ = false;
  bool monitoring_ = false;
  usbwarden::SetDeviceFilterFn setDeviceFilter_ = nullptr;
  usbwarden::SetInputCallbackFn setInputCallback_ = nullptr;
  usbwarden::StartMonitoringFn startMonitoring_ = nullptr;
  usbwarden::StopMonitoringFn stopMonitoring_ = nullptr;
  usbwarden::WriteReportFn writeReport_ = nullptr;
  usbwarden::ReadReportFn readReport_ = nullptr;
};
